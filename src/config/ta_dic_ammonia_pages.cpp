// The TA, DIC and Ammonia chemistry pages.
#include <string>

#include "common/number_text.hpp"
#include "config/chemistry_entries.hpp"
#include "config/chemistry_page_kinds.hpp"
#include "records/input_channels.hpp"
#include "records/processing_params.hpp"

namespace kelpira::config::page_kinds {

namespace {

using common::field_f32;
using common::make_field;
using common::make_list;
using common::selected_value;
using common::show_choice;
using common::show_value;

enum class Ta : std::size_t {
    sensor_version,
    measurement_channel,
    monitor_led1,
    monitor_led2,
    sample_intake_state,
    blank_led1_state,
    blank_led2_state,
    sample_led1_state,
    sample_led2_state,
    processing_trigger,
    multiplexer,
    temperature_coefficient,
    titrant_molarity,
    pka,
    e1,
    e2,
    e3,
};

constexpr const char* kTaModel =
    "pH = pKa + log10((R - e1) / (e2 - R x e3)) where R is temperature-corrected ratio of LED "
    "1 && 2 absorbances";
constexpr const char* kNotImplemented = "Not yet implemented";

void build_ta(ChemistryPageView& page) {
    const auto field = [&page](Ta c, const char* label) {
        add(page, c, make_field(kParametersGroup, label));
    };
    const auto inputs = records::input_channel_choices();
    page.notes.emplace_back(kTaModel);
    add(page, Ta::sensor_version,
        make_list(kParametersGroup, "Sensor Version", sensor_version_choices()));
    add(page, Ta::measurement_channel, make_list(kParametersGroup, "Measurement Channel", inputs));
    add(page, Ta::monitor_led1, make_list(kParametersGroup, "Monitoring Channel (LED1)", inputs));
    add(page, Ta::monitor_led2, make_list(kParametersGroup, "Monitoring Channel (LED2)", inputs));
    at(page, Ta::monitor_led1).tooltip = kNotImplemented;
    at(page, Ta::monitor_led2).tooltip = kNotImplemented;
    field(Ta::sample_intake_state, "Sample Intake State");
    field(Ta::blank_led1_state, "Blank Meas State (LED1)");
    field(Ta::blank_led2_state, "Blank Meas State (LED2)");
    field(Ta::sample_led1_state, "Sample Meas State (LED1)");
    field(Ta::sample_led2_state, "Sample Meas State (LED2)");
    add(page, Ta::processing_trigger,
        make_list(kParametersGroup, "Processing Trigger",
                  {{0, "Blank (LED1)"},
                   {1, "Blank (LED2)"},
                   {2, "Sample (LED1)"},
                   {3, "Sample (LED2)"}}));
    add(page, Ta::multiplexer,
        make_list(kParametersGroup, "Multiplexer",
                  {{0, "None"}, {2, "TA (T on 567)"}, {3, "TA (T on 267)"}}));
    field(Ta::temperature_coefficient, "Temperature Coefficient (Ct)");
    field(Ta::titrant_molarity, "Titrant Acid Molarity (M)");
    field(Ta::pka, "pKa");
    field(Ta::e1, "e1");
    field(Ta::e2, "e2");
    field(Ta::e3, "e3");
}

void show_ta_config(ChemistryPageView& page) {
    show_choice(at(page, Ta::multiplexer), page.config.multiplexer);
}

void collect_ta_config(ChemistryPageView& page) {
    page.config.multiplexer = byte_of(page, Ta::multiplexer);
}

void show_ta_params(ChemistryPageView& page) {
    const records::TaParams p = records::decode_ta_params(page.params);
    const auto state = [&page](Ta c, std::uint8_t v) { show_number(at(page, c), v); };
    const auto real = [&page](Ta c, float v) { show_value(at(page, c), v, general_text(v)); };
    show_choice(at(page, Ta::sensor_version), p.sensor_version);
    show_choice(at(page, Ta::measurement_channel), p.measurement_channel);
    show_choice(at(page, Ta::monitor_led1), p.monitor_led1);
    show_choice(at(page, Ta::monitor_led2), p.monitor_led2);
    state(Ta::sample_intake_state, p.sample_intake_state);
    state(Ta::blank_led1_state, p.blank_led1_state);
    state(Ta::blank_led2_state, p.blank_led2_state);
    state(Ta::sample_led1_state, p.sample_led1_state);
    state(Ta::sample_led2_state, p.sample_led2_state);
    show_choice(at(page, Ta::processing_trigger), p.processing_trigger);
    real(Ta::temperature_coefficient, p.temperature_coefficient);
    real(Ta::titrant_molarity, p.titrant_molarity);
    real(Ta::pka, p.pka);
    real(Ta::e1, p.e1);
    real(Ta::e2, p.e2);
    real(Ta::e3, p.e3);
}

void collect_ta_params(ChemistryPageView& page) {
    records::TaParams p = records::decode_ta_params(page.params);
    const auto state = [&page](Ta c) { return state_value(at(page, c)); };
    const auto real = [&page](Ta c) { return field_f32(at(page, c)); };
    p.layout = 0;
    p.sensor_version = byte_of(page, Ta::sensor_version);
    p.measurement_channel = byte_of(page, Ta::measurement_channel);
    p.monitor_led1 = byte_of(page, Ta::monitor_led1);
    p.monitor_led2 = byte_of(page, Ta::monitor_led2);
    p.sample_intake_state = state(Ta::sample_intake_state);
    p.blank_led1_state = state(Ta::blank_led1_state);
    p.blank_led2_state = state(Ta::blank_led2_state);
    p.sample_led1_state = state(Ta::sample_led1_state);
    p.sample_led2_state = state(Ta::sample_led2_state);
    p.processing_trigger = byte_of(page, Ta::processing_trigger);
    p.temperature_coefficient = real(Ta::temperature_coefficient);
    p.reserved15 = {};
    p.titrant_molarity = real(Ta::titrant_molarity);
    p.pka = real(Ta::pka);
    p.e1 = real(Ta::e1);
    p.e2 = real(Ta::e2);
    p.e3 = real(Ta::e3);
    page.params = record_bytes(p);
}

void ta_rules(ChemistryPageView& page) {
    at(page, Ta::monitor_led1).enabled = false;
    at(page, Ta::monitor_led2).enabled = false;
}

// DIC: the sensor version, then four controls per inlet.
constexpr std::size_t kInlets = 3;
enum class DicField : std::size_t { type, intake_state, measurement_state, crm_value, count };
constexpr std::size_t kInletFields = static_cast<std::size_t>(DicField::count);

std::size_t dic_index(std::size_t inlet, DicField f) {
    return 1 + inlet * kInletFields + static_cast<std::size_t>(f);
}
PageControl& dic_control(ChemistryPageView& page, std::size_t inlet, DicField f) {
    return page.controls[dic_index(inlet, f)];
}

void build_dic(ChemistryPageView& page) {
    page.controls.push_back(
        make_list("Common Processing Parameters", "Sensor Version", sensor_version_choices()));
    for (std::size_t k = 0; k < kInlets; ++k) {
        const std::string group = "Inlet " + std::to_string(k + 1) + " Processing Parameters";
        page.controls.push_back(
            make_list(group, "Inlet Type", {{0, "Unused"}, {1, "Sample"}, {2, "CRM"}}));
        page.controls.push_back(make_field(group, "Intake State"));
        page.controls.push_back(make_field(group, "Measurement State"));
        page.controls.push_back(make_field(group, "CRM Value (\u00b5mol/kg)"));
    }
}

void show_dic_params(ChemistryPageView& page) {
    const records::DicParams p = records::decode_dic_params(page.params);
    show_choice(page.controls[0], p.sensor_version);
    for (std::size_t k = 0; k < kInlets; ++k) {
        const records::DicInlet& in = p.inlet[k];
        show_choice(dic_control(page, k, DicField::type), in.type);
        show_number(dic_control(page, k, DicField::intake_state), in.intake_state);
        show_number(dic_control(page, k, DicField::measurement_state), in.measurement_state);
        show_value(dic_control(page, k, DicField::crm_value), in.crm_umol_kg,
                   crm_text(in.crm_umol_kg));
    }
}

void collect_dic_params(ChemistryPageView& page) {
    records::DicParams p = records::decode_dic_params(page.params);
    p.layout = 0;
    p.sensor_version = static_cast<std::uint8_t>(selected_value(page.controls[0]));
    p.reserved2 = {};
    for (std::size_t k = 0; k < kInlets; ++k) {
        records::DicInlet& in = p.inlet[k];
        in.type = static_cast<std::uint8_t>(selected_value(dic_control(page, k, DicField::type)));
        in.intake_state = state_value(dic_control(page, k, DicField::intake_state));
        in.measurement_state = state_value(dic_control(page, k, DicField::measurement_state));
        in.crm_umol_kg = field_f32(dic_control(page, k, DicField::crm_value));
    }
    page.params = record_bytes(p);
}

void dic_rules(ChemistryPageView& page) {
    for (std::size_t k = 0; k < kInlets; ++k) {
        const auto type = selected_value(dic_control(page, k, DicField::type));
        dic_control(page, k, DicField::intake_state).enabled &= type == 1;
        dic_control(page, k, DicField::measurement_state).enabled &= type == 1 || type == 2;
        dic_control(page, k, DicField::crm_value).enabled &= type == 2;
    }
}

void build_ammonia(ChemistryPageView& page) {
    page.notes.emplace_back("There are currently no ammonia processing parameters.");
}

// Pages whose chemistry record fields are only the common ones, or that carry their
// processing record as read.
void nothing(ChemistryPageView&) {}

}  // namespace

const PageKind& ta_kind() {
    static constexpr PageKind kind{
        build_ta,
        show_ta_config,
        collect_ta_config,
        show_ta_params,
        collect_ta_params,
        ta_rules,
        [](records::ChemistryType) { return record_bytes(records::TaParams{}); },
    };
    return kind;
}

const PageKind& dic_kind() {
    static constexpr PageKind kind{
        build_dic,
        nothing,
        nothing,
        show_dic_params,
        collect_dic_params,
        dic_rules,
        [](records::ChemistryType) { return record_bytes(records::DicParams{}); },
    };
    return kind;
}

const PageKind& ammonia_kind() {
    static constexpr PageKind kind{
        build_ammonia,
        nothing,
        nothing,
        nothing,
        nothing,
        nothing,
        [](records::ChemistryType) { return record_bytes(records::AmmoniaParams{}); },
    };
    return kind;
}

}  // namespace kelpira::config::page_kinds
