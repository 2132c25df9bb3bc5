// The TA, DIC and Ammonia chemistry pages.
#include <string>

#include "common/number_text.hpp"
#include "config/chemistry_entries.hpp"
#include "config/chemistry_page_kinds.hpp"
#include "records/chemistry_fields.hpp"
#include "records/input_channels.hpp"
#include "records/record_form.hpp"

namespace kelpira::config::page_kinds {

namespace {

using common::make_field;
using common::make_list;
using common::selected_value;
using common::show_choice;
using common::show_value;

constexpr const char* kTaModel =
    "pH = pKa + log10((R - e1) / (e2 - R x e3)) where R is temperature-corrected ratio of LED "
    "1 && 2 absorbances";
constexpr const char* kNotImplemented = "Not yet implemented";
constexpr const char* kMultiplexer = "Multiplexer";

// The TA record's controls, with the chemistry record's multiplexer after the trigger.
void build_ta(ChemistryPageView& page) {
    page.notes.emplace_back(kTaModel);
    records::add_controls<records::TaParams>(page.controls, kParametersGroup);
    for (const char* name : {"monitor_led1", "monitor_led2"}) {
        records::control_of<records::TaParams>(page.controls, kParametersGroup, name)->tooltip =
            kNotImplemented;
    }
    const auto* trigger = records::control_of<records::TaParams>(page.controls, kParametersGroup,
                                                                 "processing_trigger");
    const auto after = page.controls.begin() + (trigger - page.controls.data()) + 1;
    page.controls.insert(after, make_list(kParametersGroup, kMultiplexer,
                                          records::choices_of(records::kTaMultiplexers)));
}

PageControl& multiplexer(ChemistryPageView& page) {
    return *records::find_control(page.controls, kParametersGroup, kMultiplexer);
}

void show_ta_config(ChemistryPageView& page) {
    show_choice(multiplexer(page), page.config.multiplexer);
}

void collect_ta_config(ChemistryPageView& page) {
    page.config.multiplexer = static_cast<std::uint8_t>(selected_value(multiplexer(page)));
}

void show_ta_params(ChemistryPageView& page) {
    records::show_record(page.controls, kParametersGroup, records::decode_ta_params(page.params));
}

void collect_ta_params(ChemistryPageView& page) {
    records::TaParams p = records::decode_ta_params(page.params);
    records::collect_record(page.controls, kParametersGroup, p);
    p.layout = 0;
    p.reserved15 = {};
    page.params = record_bytes(p);
}

void ta_rules(ChemistryPageView& page) {
    for (const char* name : {"monitor_led1", "monitor_led2"}) {
        records::control_of<records::TaParams>(page.controls, kParametersGroup, name)->enabled =
            false;
    }
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
