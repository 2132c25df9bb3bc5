// The nutrient chemistry page (Nitrate, Nitrite, Phosphate, Silicate, Iron): standards,
// the three optical channels with their inputs, optical correction and its dilution.
#include <optional>

#include "config/chemistry_entries.hpp"
#include "config/chemistry_page_kinds.hpp"
#include "records/input_channels.hpp"
#include "records/nutrient_params.hpp"

namespace kelpira::config::page_kinds {

namespace {

using common::ControlKind;
using common::make_field;
using common::make_list;
using common::show_choice;

enum class Nutrient : std::size_t {
    sensor_version,
    output,
    sample_intake_state,
    sample_measurement_state,
    blank_measurement_state,
    standard1_state,
    standard2_state,
    standard1_concentration,
    standard2_concentration,
    standard_adjustment,
    processing_trigger,
    medium_measure,
    medium_monitor,
    short_measure,
    short_monitor,
    long_measure,
    long_monitor,
    optical_correction,
    optical_sample_state,
    optical_blank_state,
    dilution,
};

constexpr const char* kOptical = "Optical Correction";

std::vector<common::Choice> monitor_choices() {
    std::vector<common::Choice> out{{records::kNoMonitor, "None"}};
    for (auto& c : records::input_channel_choices()) {
        out.push_back(std::move(c));
    }
    return out;
}

void build(ChemistryPageView& page) {
    const auto field = [&page](Nutrient c, const char* group, const char* label) {
        add(page, c, make_field(group, label));
    };
    add(page, Nutrient::sensor_version,
        make_list(kParametersGroup, "Sensor Version", sensor_version_choices()));
    add(page, Nutrient::output,
        make_list(
            kParametersGroup, "Output",
            {{0, "Medium"}, {1, "Short"}, {2, "Long"}, {records::kOutputAdaptive, "Adaptive"}}));
    field(Nutrient::sample_intake_state, kParametersGroup, "Sample Intake State");
    field(Nutrient::sample_measurement_state, kParametersGroup, "Sample Measurement State");
    field(Nutrient::blank_measurement_state, kParametersGroup, "Blank Measurement State");
    field(Nutrient::standard1_state, kParametersGroup, "Standard 1 Measurement State");
    field(Nutrient::standard2_state, kParametersGroup, "Standard 2 Measurement State");
    field(Nutrient::standard1_concentration, kParametersGroup,
          "Standard 1 Concentration (\u00b5M)");
    field(Nutrient::standard2_concentration, kParametersGroup,
          "Standard 2 Concentration (\u00b5M)");
    add(page, Nutrient::standard_adjustment,
        make_list(kParametersGroup, "Standard Adjustment",
                  {{0, "Standard 1"}, {1, "Standard 2"}, {2, "Linear Fit"}}));
    add(page, Nutrient::processing_trigger,
        make_list(kParametersGroup, "Processing Trigger",
                  {{0, "Standard 1"}, {1, "Standard 2"}, {2, "Sample"}, {3, "Blank"}}));
    const auto inputs = records::input_channel_choices();
    add(page, Nutrient::medium_measure, make_list("Medium", "Measure", inputs));
    add(page, Nutrient::medium_monitor, make_list("Medium", "Monitor", monitor_choices()));
    add(page, Nutrient::short_measure, make_list("Short", "Measure", inputs));
    add(page, Nutrient::short_monitor, make_list("Short", "Monitor", monitor_choices()));
    add(page, Nutrient::long_measure, make_list("Long", "Measure", inputs));
    add(page, Nutrient::long_monitor, make_list("Long", "Monitor", monitor_choices()));
    add(page, Nutrient::optical_correction,
        make_field(kOptical, "Enable Optical Correction", ControlKind::check));
    field(Nutrient::optical_sample_state, kOptical, "Optical Correction State (sample)");
    field(Nutrient::optical_blank_state, kOptical, "Optical Correction State (blank)");
    add(page, Nutrient::dilution,
        make_field(kOptical, "Optical Correction Dilution", ControlKind::read_only));
    at(page, Nutrient::dilution).text = dilution_text(records::dilution_ratio(page.code));
}

void no_config(ChemistryPageView&) {}

void show_params(ChemistryPageView& page) {
    const records::NutrientParams p = records::decode_nutrient_params(page.params);
    const auto state = [&page](Nutrient c, std::uint8_t v) { show_number(at(page, c), v); };
    show_choice(at(page, Nutrient::sensor_version), p.sensor_version);
    // An output channel no entry names (3, from older firmware) gets an entry of its own.
    show_choice(at(page, Nutrient::output), p.output_channel);
    state(Nutrient::sample_intake_state, p.sample_intake_state);
    state(Nutrient::sample_measurement_state, p.sample_measurement_state);
    state(Nutrient::blank_measurement_state, p.blank_measurement_state);
    state(Nutrient::standard1_state, p.standard1_state);
    state(Nutrient::standard2_state, p.standard2_state);
    show_milli(at(page, Nutrient::standard1_concentration), p.standard1_nmol);
    show_milli(at(page, Nutrient::standard2_concentration), p.standard2_nmol);
    show_choice(at(page, Nutrient::standard_adjustment), p.standard_adjustment);
    show_choice(at(page, Nutrient::processing_trigger), p.processing_trigger);
    show_choice(at(page, Nutrient::medium_measure), p.measure_medium);
    show_choice(at(page, Nutrient::short_measure), p.measure_short);
    show_choice(at(page, Nutrient::long_measure), p.measure_long);
    show_choice(at(page, Nutrient::medium_monitor), p.monitor_medium);
    show_choice(at(page, Nutrient::short_monitor), p.monitor_short);
    show_choice(at(page, Nutrient::long_monitor), p.monitor_long);
    common::show_flag(at(page, Nutrient::optical_correction), p.optical_correction);
    state(Nutrient::optical_sample_state, p.optical_sample_state);
    state(Nutrient::optical_blank_state, p.optical_blank_state);
}

void collect_params(ChemistryPageView& page) {
    records::NutrientParams p = records::decode_nutrient_params(page.params);
    const auto state = [&page](Nutrient c) { return state_value(at(page, c)); };
    p.layout = 1;
    p.sensor_version = byte_of(page, Nutrient::sensor_version);
    p.output_channel = byte_of(page, Nutrient::output);
    p.sample_intake_state = state(Nutrient::sample_intake_state);
    p.sample_measurement_state = state(Nutrient::sample_measurement_state);
    p.blank_measurement_state = state(Nutrient::blank_measurement_state);
    p.standard1_state = state(Nutrient::standard1_state);
    p.standard2_state = state(Nutrient::standard2_state);
    p.standard1_nmol = milli_value(at(page, Nutrient::standard1_concentration));
    p.standard2_nmol = milli_value(at(page, Nutrient::standard2_concentration));
    p.standard_adjustment = byte_of(page, Nutrient::standard_adjustment);
    p.processing_trigger = byte_of(page, Nutrient::processing_trigger);
    p.optical_correction = common::flag_value(at(page, Nutrient::optical_correction));
    p.optical_sample_state = state(Nutrient::optical_sample_state);
    p.optical_blank_state = state(Nutrient::optical_blank_state);
    p.measure_medium = byte_of(page, Nutrient::medium_measure);
    p.measure_short = byte_of(page, Nutrient::short_measure);
    p.measure_long = byte_of(page, Nutrient::long_measure);
    p.monitor_medium = byte_of(page, Nutrient::medium_monitor);
    p.monitor_short = byte_of(page, Nutrient::short_monitor);
    p.monitor_long = byte_of(page, Nutrient::long_monitor);
    records::update_output_monitor(p);
    page.params = record_bytes(p);
}

void rules(ChemistryPageView& page) {
    const std::uint8_t adjustment = byte_of(page, Nutrient::standard_adjustment);
    const std::uint8_t trigger = byte_of(page, Nutrient::processing_trigger);
    const bool optical = at(page, Nutrient::optical_correction).checked;
    at(page, Nutrient::standard1_state).enabled = adjustment != 1 || trigger == 0;
    at(page, Nutrient::standard2_state).enabled = adjustment != 0 || trigger == 1;
    at(page, Nutrient::standard1_concentration).enabled = adjustment != 1;
    at(page, Nutrient::standard2_concentration).enabled = adjustment != 0;
    at(page, Nutrient::dilution).enabled = optical;
    at(page, Nutrient::optical_sample_state).enabled = optical;
    at(page, Nutrient::optical_blank_state).enabled = optical;
}

}  // namespace

const PageKind& nutrient_kind() {
    static constexpr PageKind kind{
        build,
        no_config,
        no_config,
        show_params,
        collect_params,
        rules,
        [](records::ChemistryType) { return record_bytes(records::NutrientParams{}); },
    };
    return kind;
}

}  // namespace kelpira::config::page_kinds
