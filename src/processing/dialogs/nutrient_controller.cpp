// The single-file nutrient processing dialog: controls, header messages and rules.
#include "processing/dialogs/nutrient_controller.hpp"

#include "common/decimal_milli.hpp"
#include "processing/dialogs/chemistry_passes.hpp"
#include "processing/dialogs/raw_pass.hpp"

namespace kelpira::processing {
namespace {

using records::ChemistryType;
using records::NutrientParams;

constexpr std::size_t at(NutrientControl c) {
    return static_cast<std::size_t>(c);
}

FormControl& control(ProcessingView& view, NutrientControl c) {
    return view.controls[at(c)];
}
const FormControl& control(const ProcessingView& view, NutrientControl c) {
    return view.controls[at(c)];
}

std::vector<Choice> monitor_choices() {
    std::vector<Choice> out{{records::kNoMonitor, "None"}};
    for (auto& c : input_channel_choices()) {
        out.push_back(std::move(c));
    }
    return out;
}

constexpr const char* kParameters = "Processing Parameters";
constexpr const char* kOptical = "Optical Correction";

std::string state_text(std::uint8_t state) {
    return std::to_string(state);
}

void show_concentration(FormControl& field, std::uint32_t nmol) {
    show_value(field, nmol, fixed_text(nmol / 1000.0, 3));
}

// The header's nmol while unedited; µM as typed, times 1000 on its text and truncated to the
// 32-bit field, as Configure Chemistry stores it.
std::uint32_t nmol_of(const FormControl& field) {
    if (const auto nmol = unedited_value(field)) {
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
        "1:" + fixed_text(records::dilution_ratio(type), 3);

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

NutrientDialog make_nutrient_dialog() {
    NutrientDialog d;
    auto& v = d.view;
    v.title = kNutrientCaption;
    v.controls.resize(at(NutrientControl::count));
    const auto set = [&v](NutrientControl c, FormControl f) { v.controls[at(c)] = std::move(f); };
    set(NutrientControl::type,
        make_list(
            kParameters, "Nutrient Type",
            {{1, "Nitrate"}, {2, "Phosphate"}, {3, "Silicate"}, {5, "Nitrite"}, {6, "Iron"}}));
    set(NutrientControl::sensor_version, make_list(kParameters, "Sensor Version", {{0, "None"}}));
    set(NutrientControl::output,
        make_list(kParameters, "Output",
                  {{0, "Medium"}, {1, "Short"}, {2, "Long"}, {254, "Adaptive"}}));
    set(NutrientControl::sample_intake_state, make_field(kParameters, "Sample Intake State"));
    set(NutrientControl::sample_measurement_state,
        make_field(kParameters, "Sample Measurement State"));
    set(NutrientControl::blank_measurement_state,
        make_field(kParameters, "Blank Measurement State"));
    set(NutrientControl::standard1_state, make_field(kParameters, "Standard 1 Measurement State"));
    set(NutrientControl::standard2_state, make_field(kParameters, "Standard 2 Measurement State"));
    set(NutrientControl::standard1_concentration,
        make_field(kParameters, "Standard 1 Concentration (\u00b5M)"));
    set(NutrientControl::standard2_concentration,
        make_field(kParameters, "Standard 2 Concentration (\u00b5M)"));
    set(NutrientControl::standard_adjustment,
        make_list(kParameters, "Standard Adjustment",
                  {{0, "Standard 1"}, {1, "Standard 2"}, {2, "Linear Fit"}}));
    set(NutrientControl::processing_trigger,
        make_list(kParameters, "Processing Trigger",
                  {{0, "Standard 1"}, {1, "Standard 2"}, {2, "Sample"}, {3, "Blank"}}));
    set(NutrientControl::medium_measure, make_list("Medium", "Measure", input_channel_choices()));
    set(NutrientControl::medium_monitor, make_list("Medium", "Monitor", monitor_choices()));
    set(NutrientControl::short_measure, make_list("Short", "Measure", input_channel_choices()));
    set(NutrientControl::short_monitor, make_list("Short", "Monitor", monitor_choices()));
    set(NutrientControl::long_measure, make_list("Long", "Measure", input_channel_choices()));
    set(NutrientControl::long_monitor, make_list("Long", "Monitor", monitor_choices()));
    set(NutrientControl::optical_correction,
        make_field(kOptical, "Enable Optical Correction", ControlKind::check));
    set(NutrientControl::optical_sample_state,
        make_field(kOptical, "Optical Correction State (sample)"));
    set(NutrientControl::optical_blank_state,
        make_field(kOptical, "Optical Correction State (blank)"));
    set(NutrientControl::dilution,
        make_field(kOptical, "Optical Correction Dilution", ControlKind::read_only));
    v.results.columns = nutrient_result_columns();
    return d;
}

bool open_nutrient_dialog(NutrientDialog& dialog, common::Prompter& prompter) {
    const auto path = choose_raw_path(prompter);
    return path && open_nutrient_file(dialog, prompter, *path,
                                      read_raw_header(*path, RawChemistry::nutrient));
}

bool open_nutrient_file(NutrientDialog& dialog, common::Prompter& prompter, const std::string& path,
                        std::optional<OpenedRawFile> read) {
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

void nutrient_control_changed(NutrientDialog& dialog, std::size_t changed) {
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

PassJob nutrient_process(NutrientDialog& dialog) {
    begin_pass(dialog.view);
    return nutrient_pass_job(dialog.path, nutrient_type_of(dialog.view),
                             nutrient_params_of(dialog.view));
}

records::ChemistryType nutrient_type_of(const ProcessingView& view) {
    return static_cast<ChemistryType>(selected_value(control(view, NutrientControl::type)));
}

records::NutrientParams nutrient_params_of(const ProcessingView& view) {
    const auto byte = [&view](NutrientControl c) {
        return static_cast<std::uint8_t>(selected_value(control(view, c)));
    };
    const auto state = [&view](NutrientControl c) { return field_state(control(view, c).text); };
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
    select_value(control(view, NutrientControl::type), records::code_of(type));
    select_value(control(view, NutrientControl::sensor_version), p.sensor_version);
    select_value(control(view, NutrientControl::output), p.output_channel);
    control(view, NutrientControl::sample_intake_state).text = state_text(p.sample_intake_state);
    control(view, NutrientControl::sample_measurement_state).text =
        state_text(p.sample_measurement_state);
    control(view, NutrientControl::blank_measurement_state).text =
        state_text(p.blank_measurement_state);
    control(view, NutrientControl::standard1_state).text = state_text(p.standard1_state);
    control(view, NutrientControl::standard2_state).text = state_text(p.standard2_state);
    show_concentration(control(view, NutrientControl::standard1_concentration), p.standard1_nmol);
    show_concentration(control(view, NutrientControl::standard2_concentration), p.standard2_nmol);
    select_value(control(view, NutrientControl::standard_adjustment), p.standard_adjustment);
    select_value(control(view, NutrientControl::processing_trigger), p.processing_trigger);
    select_value(control(view, NutrientControl::medium_measure), p.measure_medium);
    select_value(control(view, NutrientControl::short_measure), p.measure_short);
    select_value(control(view, NutrientControl::long_measure), p.measure_long);
    select_value(control(view, NutrientControl::medium_monitor), p.monitor_medium);
    select_value(control(view, NutrientControl::short_monitor), p.monitor_short);
    select_value(control(view, NutrientControl::long_monitor), p.monitor_long);
    control(view, NutrientControl::optical_correction).checked = p.optical_correction != 0;
    control(view, NutrientControl::optical_sample_state).text = state_text(p.optical_sample_state);
    control(view, NutrientControl::optical_blank_state).text = state_text(p.optical_blank_state);
    apply_rules(view);
}

}  // namespace kelpira::processing
