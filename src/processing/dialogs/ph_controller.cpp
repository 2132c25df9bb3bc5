// The pH processing dialog: controls, header messages, reading the controls back.
#include "processing/dialogs/ph_controller.hpp"

#include "common/number_scan.hpp"
#include "common/number_text.hpp"
#include "processing/dialogs/chemistry_passes.hpp"
#include "processing/dialogs/raw_pass.hpp"
#include "processing/ph_engine.hpp"
#include "records/input_channels.hpp"

namespace kelpira::processing {
namespace {

constexpr std::size_t at(PhControl c) {
    return static_cast<std::size_t>(c);
}
common::FormControl& control(ProcessingView& v, PhControl c) {
    return v.controls[at(c)];
}
const common::FormControl& control(const ProcessingView& v, PhControl c) {
    return v.controls[at(c)];
}

constexpr const char* kParameters = "Processing Parameters";

void show_real(common::FormControl& field, float value) {
    common::show_value(field, value, common::field_text(value, 5));
}

}  // namespace

PhController make_ph_dialog() {
    PhController d;
    auto& v = d.view;
    v.title = kPhCaption;
    v.controls.resize(at(PhControl::count));
    const auto set = [&v](PhControl c, common::FormControl f) { v.controls[at(c)] = std::move(f); };
    set(PhControl::sensor_version, common::make_list(kParameters, "Sensor Version", {{0, "None"}}));
    set(PhControl::input_434,
        common::make_list(kParameters, "Input Channel (434nm)", records::input_channel_choices()));
    set(PhControl::input_578,
        common::make_list(kParameters, "Input Channel (578nm)", records::input_channel_choices()));
    set(PhControl::sample_intake_state, common::make_field(kParameters, "Sample Intake State"));
    set(PhControl::sample_measurement_state,
        common::make_field(kParameters, "Sample Measurement State"));
    set(PhControl::sample_interval, common::make_field(kParameters, "Sample Interval (ms)"));
    set(PhControl::blank_start, common::make_field(kParameters, "Blank Start Offset (seconds)"));
    set(PhControl::blank_end, common::make_field(kParameters, "Blank End Offset (seconds)"));
    set(PhControl::absorbance_min_434, common::make_field(kParameters, "Absorbance Min (434nm)"));
    set(PhControl::absorbance_max_578, common::make_field(kParameters, "Absorbance Max (578nm)"));
    set(PhControl::dph_dt, common::make_field(kParameters, "dpH/dT"));
    set(PhControl::r_scale, common::make_field(kParameters, "R-adjustment (scale)"));
    set(PhControl::r_offset, common::make_field(kParameters, "R-adjustment (offset)"));
    set(PhControl::t1_scale, common::make_field(kParameters, "Thermistor 1 Adjustment (scale)"));
    set(PhControl::t2_scale, common::make_field(kParameters, "Thermistor 2 Adjustment (scale)"));
    v.results.columns = result_columns(chemistry_entry(ChemistryChoice::ph));
    reset_header(d.header, RawChemistry::ph);
    return d;
}

bool open_ph_dialog(PhController& dialog, common::Prompter& prompter) {
    const auto path = choose_raw_path(prompter);
    return path && open_ph_file(dialog, prompter, *path, read_raw_header(*path, RawChemistry::ph));
}

bool open_ph_file(PhController& dialog, common::Prompter& prompter, const std::string& path,
                  std::optional<OpenedRawFile> read) {
    const auto file = checked_raw_file(prompter, kPhCaption, path, std::move(read));
    if (!file) {
        return false;
    }
    dialog.path = file->path;
    dialog.header = file->header;
    if (!file->found) {
        prompter.message(kPhCaption,
                         "No pH Processing Parameters found in file header: please enter them by "
                         "hand, or connect a sensor and try again to use the current values from "
                         "the sensor.");
        return true;
    }
    if (file->header.chemistry != records::ChemistryType::ph) {
        prompter.message(kPhCaption, "This file has the wrong chemistry type for pH processing.");
        return false;
    }
    show_ph_params(dialog.view, file->header.ph, file->header.ph_sample_interval_ms);
    return true;
}

std::optional<PassJob> ph_process(PhController& dialog, common::Prompter& prompter) {
    begin_pass(dialog.view);
    const PhSettings s = ph_settings_of(dialog.view);
    if (const auto problem = ph_interval_problem(s.interval_ms)) {
        prompter.message(kPhCaption, *problem);
        return std::nullopt;
    }
    return ph_pass_job(dialog.path, s.params, s.interval_ms, dialog.header.thermistors);
}

PhSettings ph_settings_of(const ProcessingView& view) {
    RawHeader defaults;
    reset_header(defaults, RawChemistry::ph);
    PhSettings s{defaults.ph, defaults.ph_sample_interval_ms};
    auto& p = s.params;
    const auto text = [&view](PhControl c) -> const std::string& { return control(view, c).text; };
    const auto byte = [&view](PhControl c) {
        return static_cast<std::uint8_t>(common::selected_value(control(view, c)));
    };
    const auto real = [&view](PhControl c) {
        return common::to_f32(common::field_value(control(view, c)));
    };
    p.sensor_version = byte(PhControl::sensor_version);
    p.input_434 = byte(PhControl::input_434);
    p.input_578 = byte(PhControl::input_578);
    p.sample_intake_state = common::field_state(text(PhControl::sample_intake_state));
    p.sample_measurement_state = common::field_state(text(PhControl::sample_measurement_state));
    s.interval_ms = common::field_unsigned(text(PhControl::sample_interval));
    p.blank_start_s =
        static_cast<std::uint16_t>(common::field_in_range(text(PhControl::blank_start), 0, 65535));
    p.blank_end_s =
        static_cast<std::uint16_t>(common::field_in_range(text(PhControl::blank_end), 0, 65535));
    p.absorbance_min_434 = real(PhControl::absorbance_min_434);
    p.absorbance_max_578 = real(PhControl::absorbance_max_578);
    p.dph_dt = real(PhControl::dph_dt);
    p.r_scale = real(PhControl::r_scale);
    p.r_offset = real(PhControl::r_offset);
    p.t1_scale = real(PhControl::t1_scale);
    p.t2_scale = real(PhControl::t2_scale);
    return s;
}

void show_ph_params(ProcessingView& view, const records::PhParams& p, std::uint32_t interval_ms) {
    common::select_value(control(view, PhControl::sensor_version), p.sensor_version);
    common::select_value(control(view, PhControl::input_434), p.input_434);
    common::select_value(control(view, PhControl::input_578), p.input_578);
    control(view, PhControl::sample_intake_state).text = std::to_string(p.sample_intake_state);
    control(view, PhControl::sample_measurement_state).text =
        std::to_string(p.sample_measurement_state);
    control(view, PhControl::sample_interval).text = std::to_string(interval_ms);
    control(view, PhControl::blank_start).text = std::to_string(p.blank_start_s);
    control(view, PhControl::blank_end).text = std::to_string(p.blank_end_s);
    show_real(control(view, PhControl::absorbance_min_434), p.absorbance_min_434);
    show_real(control(view, PhControl::absorbance_max_578), p.absorbance_max_578);
    show_real(control(view, PhControl::dph_dt), p.dph_dt);
    show_real(control(view, PhControl::r_scale), p.r_scale);
    show_real(control(view, PhControl::r_offset), p.r_offset);
    show_real(control(view, PhControl::t1_scale), p.t1_scale);
    show_real(control(view, PhControl::t2_scale), p.t2_scale);
}

}  // namespace kelpira::processing
