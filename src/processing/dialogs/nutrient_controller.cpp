// The single-file nutrient processing dialog: controls, header messages and rules.
#include "processing/dialogs/nutrient_controller.hpp"

#include "common/decimal_milli.hpp"
#include "common/number_text.hpp"
#include "processing/dialogs/chemistry_passes.hpp"
#include "processing/dialogs/raw_pass.hpp"
#include "records/input_channels.hpp"

namespace kelpira::processing {
namespace {

using records::ChemistryType;
using records::NutrientParams;

constexpr std::size_t at(NutrientControl c) {
    return static_cast<std::size_t>(c);
}

common::FormControl& control(ProcessingView& view, NutrientControl c) {
    return view.controls[at(c)];
}
const common::FormControl& control(const ProcessingView& view, NutrientControl c) {
    return view.controls[at(c)];
}

std::vector<common::Choice> monitor_choices() {
    std::vector<common::Choice> out{{records::kNoMonitor, "None"}};
    for (auto& c : records::input_channel_choices()) {
        out.push_back(std::move(c));
    }
    return out;
}

constexpr const char* kParameters = "Processing Parameters";
constexpr const char* kOptical = "Optical Correction";

std::string state_text(std::uint8_t state) {
    return std::to_string(state);
}

void show_concentration(common::FormControl& field, std::uint32_t nmol) {
    common::show_value(field, nmol, common::fixed_text(nmol / 1000.0, 3));
}

// The header's nmol while unedited; µM as typed, times 1000 on its text and truncated to the
// 32-bit field, as Configure Chemistry stores it.
std::uint32_t nmol_of(const common::FormControl& field) {
    if (const auto nmol = common::unedited_value(field)) {
        return static_cast<std::uint32_t>(*nmol);
    }
    return common::decimal_milli_u32(field.text);
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
    control(view, NutrientControl::dilution).text =
        "1:" + common::fixed_text(records::dilution_ratio(type), 3);

    control(view, NutrientControl::standard1_state).enabled =
        !(p.standard_adjustment == 1 && p.processing_trigger != 0);
    control(view, NutrientControl::standard2_state).enabled =
        p.standard_adjustment != 0 || p.processing_trigger == 1;
    control(view, NutrientControl::standard1_concentration).enabled = p.standard_adjustment != 1;
    control(view, NutrientControl::standard2_concentration).enabled = p.standard_adjustment != 0;
    const bool optical = p.optical_correction != 0;
    control(view, NutrientControl::dilution).enabled = optical;
    control(view, NutrientControl::optical_sample_state).enabled = optical;
    control(view, NutrientControl::optical_blank_state).enabled = optical;
}

}  // namespace

NutrientController make_nutrient_dialog() {
    NutrientController d;
    auto& v = d.view;
    v.title = kNutrientCaption;
    v.controls.resize(at(NutrientControl::count));
    const auto set = [&v](NutrientControl c, common::FormControl f) {
        v.controls[at(c)] = std::move(f);
    };
    set(NutrientControl::type,
        common::make_list(
            kParameters, "Nutrient Type",
            {{1, "Nitrate"}, {2, "Phosphate"}, {3, "Silicate"}, {5, "Nitrite"}, {6, "Iron"}}));
    set(NutrientControl::sensor_version,
        common::make_list(kParameters, "Sensor Version", {{0, "None"}}));
    set(NutrientControl::output,
        common::make_list(kParameters, "Output",
                          {{0, "Medium"}, {1, "Short"}, {2, "Long"}, {254, "Adaptive"}}));
    set(NutrientControl::sample_intake_state,
        common::make_field(kParameters, "Sample Intake State"));
    set(NutrientControl::sample_measurement_state,
        common::make_field(kParameters, "Sample Measurement State"));
    set(NutrientControl::blank_measurement_state,
        common::make_field(kParameters, "Blank Measurement State"));
    set(NutrientControl::standard1_state,
        common::make_field(kParameters, "Standard 1 Measurement State"));
    set(NutrientControl::standard2_state,
        common::make_field(kParameters, "Standard 2 Measurement State"));
    set(NutrientControl::standard1_concentration,
        common::make_field(kParameters, "Standard 1 Concentration (\u00b5M)"));
    set(NutrientControl::standard2_concentration,
        common::make_field(kParameters, "Standard 2 Concentration (\u00b5M)"));
    set(NutrientControl::standard_adjustment,
        common::make_list(kParameters, "Standard Adjustment",
                          {{0, "Standard 1"}, {1, "Standard 2"}, {2, "Linear Fit"}}));
    set(NutrientControl::processing_trigger,
        common::make_list(kParameters, "Processing Trigger",
                          {{0, "Standard 1"}, {1, "Standard 2"}, {2, "Sample"}, {3, "Blank"}}));
    set(NutrientControl::medium_measure,
        common::make_list("Medium", "Measure", records::input_channel_choices()));
    set(NutrientControl::medium_monitor, common::make_list("Medium", "Monitor", monitor_choices()));
    set(NutrientControl::short_measure,
        common::make_list("Short", "Measure", records::input_channel_choices()));
    set(NutrientControl::short_monitor, common::make_list("Short", "Monitor", monitor_choices()));
    set(NutrientControl::long_measure,
        common::make_list("Long", "Measure", records::input_channel_choices()));
    set(NutrientControl::long_monitor, common::make_list("Long", "Monitor", monitor_choices()));
    set(NutrientControl::optical_correction,
        common::make_field(kOptical, "Enable Optical Correction", common::ControlKind::check));
    set(NutrientControl::optical_sample_state,
        common::make_field(kOptical, "Optical Correction State (sample)"));
    set(NutrientControl::optical_blank_state,
        common::make_field(kOptical, "Optical Correction State (blank)"));
    set(NutrientControl::dilution, common::make_field(kOptical, "Optical Correction Dilution",
                                                      common::ControlKind::read_only));
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
    switch (static_cast<NutrientControl>(changed)) {
        case NutrientControl::type:
        case NutrientControl::standard_adjustment:
        case NutrientControl::processing_trigger:
        case NutrientControl::optical_correction:
            apply_rules(dialog.view);
            break;
        default:
            break;
    }
}

PassJob nutrient_process(NutrientController& dialog) {
    begin_pass(dialog.view);
    return nutrient_pass_job(dialog.path, nutrient_type_of(dialog.view),
                             nutrient_params_of(dialog.view));
}

records::ChemistryType nutrient_type_of(const ProcessingView& view) {
    return static_cast<ChemistryType>(common::selected_value(control(view, NutrientControl::type)));
}

records::NutrientParams nutrient_params_of(const ProcessingView& view) {
    const auto byte = [&view](NutrientControl c) {
        return static_cast<std::uint8_t>(common::selected_value(control(view, c)));
    };
    const auto state = [&view](NutrientControl c) {
        return common::field_state(control(view, c).text);
    };
    NutrientParams p;
    p.layout = 1;
    p.sensor_version = byte(NutrientControl::sensor_version);
    p.output_channel = byte(NutrientControl::output);
    p.sample_intake_state = state(NutrientControl::sample_intake_state);
    p.sample_measurement_state = state(NutrientControl::sample_measurement_state);
    p.blank_measurement_state = state(NutrientControl::blank_measurement_state);
    p.standard1_state = state(NutrientControl::standard1_state);
    p.standard2_state = state(NutrientControl::standard2_state);
    p.standard1_nmol = nmol_of(control(view, NutrientControl::standard1_concentration));
    p.standard2_nmol = nmol_of(control(view, NutrientControl::standard2_concentration));
    p.standard_adjustment = byte(NutrientControl::standard_adjustment);
    p.processing_trigger = byte(NutrientControl::processing_trigger);
    p.optical_correction = control(view, NutrientControl::optical_correction).checked ? 1 : 0;
    p.optical_sample_state = state(NutrientControl::optical_sample_state);
    p.optical_blank_state = state(NutrientControl::optical_blank_state);
    p.measure_medium = byte(NutrientControl::medium_measure);
    p.measure_short = byte(NutrientControl::short_measure);
    p.measure_long = byte(NutrientControl::long_measure);
    p.monitor_medium = byte(NutrientControl::medium_monitor);
    p.monitor_short = byte(NutrientControl::short_monitor);
    p.monitor_long = byte(NutrientControl::long_monitor);
    records::update_output_monitor(p);
    return p;
}

void show_nutrient_params(ProcessingView& view, records::ChemistryType type,
                          const records::NutrientParams& p) {
    common::select_value(control(view, NutrientControl::type), records::code_of(type));
    common::select_value(control(view, NutrientControl::sensor_version), p.sensor_version);
    common::select_value(control(view, NutrientControl::output), p.output_channel);
    control(view, NutrientControl::sample_intake_state).text = state_text(p.sample_intake_state);
    control(view, NutrientControl::sample_measurement_state).text =
        state_text(p.sample_measurement_state);
    control(view, NutrientControl::blank_measurement_state).text =
        state_text(p.blank_measurement_state);
    control(view, NutrientControl::standard1_state).text = state_text(p.standard1_state);
    control(view, NutrientControl::standard2_state).text = state_text(p.standard2_state);
    show_concentration(control(view, NutrientControl::standard1_concentration), p.standard1_nmol);
    show_concentration(control(view, NutrientControl::standard2_concentration), p.standard2_nmol);
    common::select_value(control(view, NutrientControl::standard_adjustment),
                         p.standard_adjustment);
    common::select_value(control(view, NutrientControl::processing_trigger), p.processing_trigger);
    common::select_value(control(view, NutrientControl::medium_measure), p.measure_medium);
    common::select_value(control(view, NutrientControl::short_measure), p.measure_short);
    common::select_value(control(view, NutrientControl::long_measure), p.measure_long);
    common::select_value(control(view, NutrientControl::medium_monitor), p.monitor_medium);
    common::select_value(control(view, NutrientControl::short_monitor), p.monitor_short);
    common::select_value(control(view, NutrientControl::long_monitor), p.monitor_long);
    control(view, NutrientControl::optical_correction).checked = p.optical_correction != 0;
    control(view, NutrientControl::optical_sample_state).text = state_text(p.optical_sample_state);
    control(view, NutrientControl::optical_blank_state).text = state_text(p.optical_blank_state);
    apply_rules(view);
}

}  // namespace kelpira::processing
