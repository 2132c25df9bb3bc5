// The TA processing dialog: controls, header messages, reading the controls back.
#include "processing/dialogs/ta_controller.hpp"

#include "common/number_scan.hpp"
#include "common/number_text.hpp"
#include "processing/dialogs/chemistry_passes.hpp"
#include "processing/dialogs/raw_pass.hpp"
#include "records/input_channels.hpp"

namespace kelpira::processing {
namespace {

constexpr std::size_t at(TaControl c) {
    return static_cast<std::size_t>(c);
}
common::FormControl& control(ProcessingView& v, TaControl c) {
    return v.controls[at(c)];
}
const common::FormControl& control(const ProcessingView& v, TaControl c) {
    return v.controls[at(c)];
}

constexpr const char* kParameters = "Processing Parameters";

void show_general(common::FormControl& field, float value) {
    common::show_value(field, value, common::general_text(value));
}

}  // namespace

TaController make_ta_dialog() {
    TaController d;
    auto& v = d.view;
    v.title = kTaCaption;
    v.controls.resize(at(TaControl::count));
    const auto set = [&v](TaControl c, common::FormControl f) { v.controls[at(c)] = std::move(f); };
    set(TaControl::sensor_version, common::make_list(kParameters, "Sensor Version", {{0, "None"}}));
    set(TaControl::measurement_channel,
        common::make_list(kParameters, "Measurement Channel", records::input_channel_choices()));
    set(TaControl::monitor_led1, common::make_list(kParameters, "Monitoring Channel (LED1)",
                                                   records::input_channel_choices()));
    set(TaControl::monitor_led2, common::make_list(kParameters, "Monitoring Channel (LED2)",
                                                   records::input_channel_choices()));
    for (auto c : {TaControl::monitor_led1, TaControl::monitor_led2}) {
        control(v, c).enabled = false;  // shown, never used
        control(v, c).tooltip = "Not yet implemented";
    }
    set(TaControl::sample_intake_state, common::make_field(kParameters, "Sample Intake State"));
    set(TaControl::blank_led1_state, common::make_field(kParameters, "Blank Meas State (LED1)"));
    set(TaControl::blank_led2_state, common::make_field(kParameters, "Blank Meas State (LED2)"));
    set(TaControl::sample_led1_state, common::make_field(kParameters, "Sample Meas State (LED1)"));
    set(TaControl::sample_led2_state, common::make_field(kParameters, "Sample Meas State (LED2)"));
    set(TaControl::processing_trigger, common::make_list(kParameters, "Processing Trigger",
                                                         {{0, "Blank (LED1)"},
                                                          {1, "Blank (LED2)"},
                                                          {2, "Sample (LED1)"},
                                                          {3, "Sample (LED2)"}}));
    set(TaControl::temperature_coefficient,
        common::make_field(kParameters, "Temperature Coefficient (Ct)"));
    set(TaControl::titrant_molarity, common::make_field(kParameters, "Titrant Acid Molarity (M)"));
    set(TaControl::pka, common::make_field(kParameters, "pKa"));
    set(TaControl::e1, common::make_field(kParameters, "e1"));
    set(TaControl::e2, common::make_field(kParameters, "e2"));
    set(TaControl::e3, common::make_field(kParameters, "e3"));
    v.results.columns = result_columns(chemistry_entry(ChemistryChoice::ta));
    reset_header(d.header, RawChemistry::ta);
    return d;
}

bool open_ta_dialog(TaController& dialog, common::Prompter& prompter) {
    const auto path = choose_raw_path(prompter);
    return path && open_ta_file(dialog, prompter, *path, read_raw_header(*path, RawChemistry::ta));
}

bool open_ta_file(TaController& dialog, common::Prompter& prompter, const std::string& path,
                  std::optional<OpenedRawFile> read) {
    const auto file = checked_raw_file(prompter, kTaCaption, path, std::move(read));
    if (!file) {
        return false;
    }
    dialog.path = file->path;
    dialog.header = file->header;
    if (!file->found) {
        prompter.message(kTaCaption,
                         "No TA Processing Parameters found in file header: please enter them by "
                         "hand.");
        return true;
    }
    if (file->header.chemistry != records::ChemistryType::ta) {
        prompter.message(kTaCaption, "This file has the wrong chemistry type for TA processing.");
        return false;
    }
    show_ta_params(dialog.view, file->header.ta);
    return true;
}

PassJob ta_process(TaController& dialog) {
    begin_pass(dialog.view);
    return ta_pass_job(dialog.path, ta_params_of(dialog.view), dialog.header.thermistors);
}

records::TaParams ta_params_of(const ProcessingView& view) {
    const auto text = [&view](TaControl c) -> const std::string& { return control(view, c).text; };
    const auto byte = [&view](TaControl c) {
        return static_cast<std::uint8_t>(common::selected_value(control(view, c)));
    };
    const auto real = [&view](TaControl c) {
        return common::to_f32(common::field_value(control(view, c)));
    };
    records::TaParams p;
    p.sensor_version = byte(TaControl::sensor_version);
    p.measurement_channel = byte(TaControl::measurement_channel);
    p.monitor_led1 = byte(TaControl::monitor_led1);
    p.monitor_led2 = byte(TaControl::monitor_led2);
    p.sample_intake_state = common::field_state(text(TaControl::sample_intake_state));
    p.blank_led1_state = common::field_state(text(TaControl::blank_led1_state));
    p.blank_led2_state = common::field_state(text(TaControl::blank_led2_state));
    p.sample_led1_state = common::field_state(text(TaControl::sample_led1_state));
    p.sample_led2_state = common::field_state(text(TaControl::sample_led2_state));
    p.processing_trigger = byte(TaControl::processing_trigger);
    p.temperature_coefficient = real(TaControl::temperature_coefficient);
    p.titrant_molarity = real(TaControl::titrant_molarity);
    p.pka = real(TaControl::pka);
    p.e1 = real(TaControl::e1);
    p.e2 = real(TaControl::e2);
    p.e3 = real(TaControl::e3);
    return p;
}

void show_ta_params(ProcessingView& view, const records::TaParams& p) {
    common::select_value(control(view, TaControl::sensor_version), p.sensor_version);
    common::select_value(control(view, TaControl::measurement_channel), p.measurement_channel);
    common::select_value(control(view, TaControl::monitor_led1), p.monitor_led1);
    common::select_value(control(view, TaControl::monitor_led2), p.monitor_led2);
    control(view, TaControl::sample_intake_state).text = std::to_string(p.sample_intake_state);
    control(view, TaControl::blank_led1_state).text = std::to_string(p.blank_led1_state);
    control(view, TaControl::blank_led2_state).text = std::to_string(p.blank_led2_state);
    control(view, TaControl::sample_led1_state).text = std::to_string(p.sample_led1_state);
    control(view, TaControl::sample_led2_state).text = std::to_string(p.sample_led2_state);
    common::select_value(control(view, TaControl::processing_trigger), p.processing_trigger);
    show_general(control(view, TaControl::temperature_coefficient), p.temperature_coefficient);
    show_general(control(view, TaControl::titrant_molarity), p.titrant_molarity);
    show_general(control(view, TaControl::pka), p.pka);
    show_general(control(view, TaControl::e1), p.e1);
    show_general(control(view, TaControl::e2), p.e2);
    show_general(control(view, TaControl::e3), p.e3);
}

}  // namespace kelpira::processing
