// The Generic and pH chemistry pages: the two that also edit the sample interval.
#include <string>

#include "config/chemistry_entries.hpp"
#include "config/chemistry_page_kinds.hpp"
#include "records/chemistry_lists.hpp"
#include "records/input_channels.hpp"
#include "records/processing_params.hpp"
#include "records/record_form.hpp"

namespace kelpira::config::page_kinds {

namespace {

using common::field_f32;
using common::make_field;
using common::make_list;
using common::show_choice;
using common::show_value;

constexpr std::size_t kGenericChannels = 8;

// Generic: interval and states, then the offset and the scale of each input channel.
enum class Generic : std::size_t {
    sample_interval,
    sample_intake_state,
    sample_measurement_state,
    first_offset,
    first_scale = first_offset + kGenericChannels,
    count = first_scale + kGenericChannels
};

std::string channel_label(std::size_t ch) {
    return "Ch " + std::to_string(ch);
}

Generic offset_of(std::size_t ch) {
    return static_cast<Generic>(static_cast<std::size_t>(Generic::first_offset) + ch);
}
Generic scale_of(std::size_t ch) {
    return static_cast<Generic>(static_cast<std::size_t>(Generic::first_scale) + ch);
}

void build_generic(ChemistryPageView& page) {
    add(page, Generic::sample_interval, make_field(kParametersGroup, "Sample Interval (ms)"));
    add(page, Generic::sample_intake_state, make_field(kParametersGroup, "Sample Intake State"));
    add(page, Generic::sample_measurement_state,
        make_field(kParametersGroup, "Sample Measurement State"));
    for (std::size_t ch = 0; ch < kGenericChannels; ++ch) {
        add(page, offset_of(ch), make_field("Offset", channel_label(ch)));
        add(page, scale_of(ch), make_field("Scale", channel_label(ch)));
    }
}

void show_generic_config(ChemistryPageView& page) {
    show_number(at(page, Generic::sample_interval), page.config.sample_interval_ms);
}

void collect_generic_config(ChemistryPageView& page) {
    page.config.sample_interval_ms = interval_value(at(page, Generic::sample_interval));
}

void show_generic_params(ChemistryPageView& page) {
    const records::GenericParams p = records::decode_generic_params(page.params);
    show_number(at(page, Generic::sample_intake_state), p.sample_intake_state);
    show_number(at(page, Generic::sample_measurement_state), p.sample_measurement_state);
    for (std::size_t ch = 0; ch < kGenericChannels; ++ch) {
        show_value(at(page, offset_of(ch)), p.offset[ch], fixed5_text(p.offset[ch]));
        show_value(at(page, scale_of(ch)), p.scale[ch], fixed5_text(p.scale[ch]));
    }
}

void collect_generic_params(ChemistryPageView& page) {
    records::GenericParams p = records::decode_generic_params(page.params);
    p.layout = 0;
    p.sample_intake_state = state_value(at(page, Generic::sample_intake_state));
    p.sample_measurement_state = state_value(at(page, Generic::sample_measurement_state));
    for (std::size_t ch = 0; ch < kGenericChannels; ++ch) {
        p.offset[ch] = field_f32(at(page, offset_of(ch)));
        p.scale[ch] = field_f32(at(page, scale_of(ch)));
    }
    page.params = record_bytes(p);
}

enum class Ph : std::size_t {
    sensor_version,
    input_434,
    input_578,
    sample_intake_state,
    sample_measurement_state,
    sample_interval,
    multiplexer,
    blank_start,
    blank_end,
    absorbance_min_434,
    absorbance_max_578,
    dph_dt,
    r_scale,
    r_offset,
    t1_scale,
    t2_scale,
};

void build_ph(ChemistryPageView& page) {
    const auto field = [&page](Ph c, const char* label) {
        add(page, c, make_field(kParametersGroup, label));
    };
    add(page, Ph::sensor_version,
        make_list(kParametersGroup, "Sensor Version", sensor_version_choices()));
    add(page, Ph::input_434,
        make_list(kParametersGroup, "Input Channel (434nm)", records::input_channel_choices()));
    add(page, Ph::input_578,
        make_list(kParametersGroup, "Input Channel (578nm)", records::input_channel_choices()));
    field(Ph::sample_intake_state, "Sample Intake State");
    field(Ph::sample_measurement_state, "Sample Measurement State");
    field(Ph::sample_interval, "Sample Interval (ms)");
    add(page, Ph::multiplexer,
        make_list(kParametersGroup, "Multiplexer", records::choices_of(records::kPhMultiplexers)));
    field(Ph::blank_start, "Blank Start Offset (seconds)");
    field(Ph::blank_end, "Blank End Offset (seconds)");
    field(Ph::absorbance_min_434, "Absorbance Min (434nm)");
    field(Ph::absorbance_max_578, "Absorbance Max (578nm)");
    field(Ph::dph_dt, "dpH/dT");
    field(Ph::r_scale, "R-adjustment (scale)");
    field(Ph::r_offset, "R-adjustment (offset)");
    field(Ph::t1_scale, "Thermistor 1 Adjustment (scale)");
    field(Ph::t2_scale, "Thermistor 2 Adjustment (scale)");
}

void show_ph_config(ChemistryPageView& page) {
    show_number(at(page, Ph::sample_interval), page.config.sample_interval_ms);
    show_choice(at(page, Ph::multiplexer), page.config.multiplexer);
}

void collect_ph_config(ChemistryPageView& page) {
    page.config.sample_interval_ms = interval_value(at(page, Ph::sample_interval));
    page.config.multiplexer = byte_of(page, Ph::multiplexer);
}

void show_ph_params(ChemistryPageView& page) {
    const records::PhParams p = records::decode_ph_params(page.params);
    const auto real = [&page](Ph c, float v) { show_value(at(page, c), v, fixed5_text(v)); };
    show_choice(at(page, Ph::sensor_version), p.sensor_version);
    show_choice(at(page, Ph::input_434), p.input_434);
    show_choice(at(page, Ph::input_578), p.input_578);
    show_number(at(page, Ph::sample_intake_state), p.sample_intake_state);
    show_number(at(page, Ph::sample_measurement_state), p.sample_measurement_state);
    show_number(at(page, Ph::blank_start), p.blank_start_s);
    show_number(at(page, Ph::blank_end), p.blank_end_s);
    real(Ph::absorbance_min_434, p.absorbance_min_434);
    real(Ph::absorbance_max_578, p.absorbance_max_578);
    real(Ph::dph_dt, p.dph_dt);
    real(Ph::r_scale, p.r_scale);
    real(Ph::r_offset, p.r_offset);
    real(Ph::t1_scale, p.t1_scale);
    real(Ph::t2_scale, p.t2_scale);
}

void collect_ph_params(ChemistryPageView& page) {
    records::PhParams p = records::decode_ph_params(page.params);
    const auto real = [&page](Ph c) { return field_f32(at(page, c)); };
    p.layout = 1;
    p.sensor_version = byte_of(page, Ph::sensor_version);
    p.input_434 = byte_of(page, Ph::input_434);
    p.input_578 = byte_of(page, Ph::input_578);
    p.sample_intake_state = state_value(at(page, Ph::sample_intake_state));
    p.sample_measurement_state = state_value(at(page, Ph::sample_measurement_state));
    p.blank_start_s = u16_value(at(page, Ph::blank_start));
    p.blank_end_s = u16_value(at(page, Ph::blank_end));
    p.absorbance_min_434 = real(Ph::absorbance_min_434);
    p.absorbance_max_578 = real(Ph::absorbance_max_578);
    p.dph_dt = real(Ph::dph_dt);
    p.r_scale = real(Ph::r_scale);
    p.r_offset = real(Ph::r_offset);
    p.t1_scale = real(Ph::t1_scale);
    p.t2_scale = real(Ph::t2_scale);
    page.params = record_bytes(p);
}

void no_rules(ChemistryPageView&) {}

}  // namespace

std::vector<common::Choice> sensor_version_choices() {
    return {{0, "None"}};
}

const PageKind& generic_kind() {
    static constexpr PageKind kind{
        build_generic,
        show_generic_config,
        collect_generic_config,
        show_generic_params,
        collect_generic_params,
        no_rules,
        [](records::ChemistryType) { return record_bytes(records::GenericParams{}); },
    };
    return kind;
}

const PageKind& ph_kind() {
    static constexpr PageKind kind{
        build_ph,
        show_ph_config,
        collect_ph_config,
        show_ph_params,
        collect_ph_params,
        no_rules,
        [](records::ChemistryType) { return record_bytes(records::PhParams{}); },
    };
    return kind;
}

}  // namespace kelpira::config::page_kinds
