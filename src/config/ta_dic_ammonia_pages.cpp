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

using common::make_list;
using common::selected_value;
using common::show_choice;

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

// DIC: the sensor version, then the controls of each inlet in a group of its own.
void build_dic(ChemistryPageView& page) {
    records::add_controls<records::DicParams>(
        page.controls, kParametersGroup,
        {records::kDicCommonGroup, records::kDicInletGroups[0], records::kDicInletGroups[1],
         records::kDicInletGroups[2]});
}

void show_dic_params(ChemistryPageView& page) {
    records::show_record(page.controls, kParametersGroup, records::decode_dic_params(page.params));
}

void collect_dic_params(ChemistryPageView& page) {
    records::DicParams p = records::decode_dic_params(page.params);
    records::collect_record(page.controls, kParametersGroup, p);
    p.layout = 0;
    p.reserved2 = {};
    page.params = record_bytes(p);
}

// An inlet's controls follow its type.
void dic_rules(ChemistryPageView& page) {
    const auto& rows = records::kDicInletTable.fields;
    for (const auto group : records::kDicInletGroups) {
        const auto type =
            selected_value(*records::find_control(page.controls, group, rows.front().spec.caption));
        for (const auto& f : rows) {
            if (auto* c = records::find_control(page.controls, group, f.spec.caption)) {
                c->enabled &= records::dic_inlet_uses(type, f.spec.name);
            }
        }
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
