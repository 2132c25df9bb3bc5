// The single-file nutrient processing dialog: controls, header messages and rules.
#include "processing/dialogs/nutrient_controller.hpp"

#include "common/number_text.hpp"
#include "processing/dialogs/chemistry_passes.hpp"
#include "processing/dialogs/raw_pass.hpp"
#include "records/chemistry_fields.hpp"
#include "records/record_form.hpp"

namespace kelpira::processing {
namespace {

using records::ChemistryType;
using records::NutrientParams;

constexpr const char* kTypeLabel = "Nutrient Type";
constexpr const char* kDilutionLabel = "Optical Correction Dilution";

common::FormControl& control(ProcessingView& view, std::string_view name) {
    return view.controls[nutrient_control_index(view, name)];
}

// The titles, dilution and enabling that follow the parameters.
void apply_rules(ProcessingView& view) {
    const ChemistryType type = nutrient_type_of(view);
    const NutrientParams p = nutrient_params_of(view);
    const auto* chemistry = records::find_chemistry(type);
    if (chemistry != nullptr && records::is_nutrient(type)) {
        const std::string name(chemistry->tab_text);
        view.title = "Process Raw " + name + " Data";
        view.results.columns[2].title = name + " (Medium.uM)";
        view.results.columns[3].title = name + " (Short.uM)";
        view.results.columns[4].title = name + " (Long.uM)";
    }
    control(view, "dilution").text = "1:" + common::fixed_text(records::dilution_ratio(type), 3);

    control(view, "standard1_state").enabled =
        !(p.standard_adjustment == 1 && p.processing_trigger != 0);
    control(view, "standard2_state").enabled =
        p.standard_adjustment != 0 || p.processing_trigger == 1;
    control(view, "standard1_nmol").enabled = p.standard_adjustment != 1;
    control(view, "standard2_nmol").enabled = p.standard_adjustment != 0;
    const bool optical = p.optical_correction != 0;
    control(view, "dilution").enabled = optical;
    control(view, "optical_sample_state").enabled = optical;
    control(view, "optical_blank_state").enabled = optical;
}

}  // namespace

std::size_t nutrient_control_index(const ProcessingView& view, std::string_view name) {
    const common::FormControl* c = nullptr;
    if (name == "type") {
        c = records::find_control(view.controls, kNutrientParameters, kTypeLabel);
    } else if (name == "dilution") {
        c = records::find_control(view.controls, kNutrientOptical, kDilutionLabel);
    } else {
        c = records::control_of<NutrientParams>(view.controls, kNutrientParameters, name);
    }
    return c == nullptr ? view.controls.size() : static_cast<std::size_t>(c - view.controls.data());
}

NutrientController make_nutrient_dialog() {
    NutrientController d;
    auto& v = d.view;
    v.title = kNutrientCaption;
    v.controls.push_back(common::make_list(
        kNutrientParameters, kTypeLabel,
        {{1, "Nitrate"}, {2, "Phosphate"}, {3, "Silicate"}, {5, "Nitrite"}, {6, "Iron"}}));
    records::add_controls<NutrientParams>(
        v.controls, kNutrientParameters,
        {kNutrientParameters, "Medium", "Short", "Long", kNutrientOptical});
    v.controls.push_back(
        common::make_field(kNutrientOptical, kDilutionLabel, common::ControlKind::read_only));
    v.results.columns = result_columns(single_nutrient_entry());
    return d;
}

bool open_nutrient_dialog(NutrientController& dialog, common::Prompter& prompter) {
    const auto path = choose_raw_path(prompter);
    return path && open_nutrient_file(dialog, prompter, *path,
                                      read_raw_header(*path, RawChemistry::nutrient));
}

bool open_nutrient_file(NutrientController& dialog, common::Prompter& prompter,
                        const std::string& path, std::optional<OpenedRawFile> read) {
    const auto file = checked_raw_file(prompter, kNutrientCaption, path, std::move(read));
    if (!file) {
        return false;
    }
    dialog.path = file->path;
    if (!file->found) {
        prompter.message(kNutrientCaption,
                         "No Nutrient Processing Parameters found in file header: please enter "
                         "them by hand, or connect a sensor and try again to use the current "
                         "values from the sensor.");
        return true;
    }
    const auto type = file->header.chemistry;
    if (!type || !records::is_nutrient(*type)) {
        prompter.message(kNutrientCaption,
                         "This file has the wrong chemistry type for Nutrient processing.");
        return false;
    }
    show_nutrient_params(dialog.view, *type, file->header.nutrient);
    return true;
}

void nutrient_control_changed(NutrientController& dialog, std::size_t changed) {
    for (const char* name :
         {"type", "standard_adjustment", "processing_trigger", "optical_correction"}) {
        if (changed == nutrient_control_index(dialog.view, name)) {
            apply_rules(dialog.view);
            return;
        }
    }
}

PassJob nutrient_process(NutrientController& dialog) {
    begin_pass(dialog.view);
    return nutrient_pass_job(dialog.path, nutrient_type_of(dialog.view),
                             nutrient_params_of(dialog.view));
}

records::ChemistryType nutrient_type_of(const ProcessingView& view) {
    return static_cast<ChemistryType>(
        common::selected_value(view.controls[nutrient_control_index(view, "type")]));
}

records::NutrientParams nutrient_params_of(const ProcessingView& view) {
    NutrientParams p;
    p.layout = 1;
    records::collect_record(view.controls, kNutrientParameters, p);
    records::update_output_monitor(p);
    return p;
}

void show_nutrient_params(ProcessingView& view, records::ChemistryType type,
                          const records::NutrientParams& p) {
    common::select_value(control(view, "type"), records::code_of(type));
    records::show_record(view.controls, kNutrientParameters, p);
    apply_rules(view);
}

}  // namespace kelpira::processing
