// The Generic and pH chemistry pages: the two that also edit the sample interval.
#include <string>

#include "config/chemistry_entries.hpp"
#include "config/chemistry_page_kinds.hpp"
#include "records/chemistry_fields.hpp"
#include "records/chemistry_lists.hpp"
#include "records/input_channels.hpp"
#include "records/record_form.hpp"

namespace kelpira::config::page_kinds {

namespace {

using common::make_field;
using common::make_list;
using common::show_choice;

constexpr const char* kInterval = "Sample Interval (ms)";

PageControl& interval(ChemistryPageView& page) {
    return *records::find_control(page.controls, kParametersGroup, kInterval);
}

// Generic: the interval, the states, then the offset and the scale of each input channel.
void build_generic(ChemistryPageView& page) {
    page.controls.push_back(make_field(kParametersGroup, kInterval));
    records::add_controls<records::GenericParams>(page.controls, kParametersGroup,
                                                  {kParametersGroup, "Offset", "Scale"});
}

void show_generic_config(ChemistryPageView& page) {
    show_number(interval(page), page.config.sample_interval_ms);
}

void collect_generic_config(ChemistryPageView& page) {
    page.config.sample_interval_ms = interval_value(interval(page));
}

void show_generic_params(ChemistryPageView& page) {
    records::show_record(page.controls, kParametersGroup,
                         records::decode_generic_params(page.params));
}

void collect_generic_params(ChemistryPageView& page) {
    records::GenericParams p = records::decode_generic_params(page.params);
    records::collect_record(page.controls, kParametersGroup, p);
    p.layout = 0;
    page.params = record_bytes(p);
}

// pH: the pH record's controls, with the chemistry record's interval and multiplexer after
// the sample measurement state.
constexpr const char* kMultiplexer = "Multiplexer";

PageControl& ph_control(ChemistryPageView& page, const char* label) {
    return *records::find_control(page.controls, kParametersGroup, label);
}

void build_ph(ChemistryPageView& page) {
    records::add_controls<records::PhParams>(page.controls, kParametersGroup);
    const auto* state = records::control_of<records::PhParams>(page.controls, kParametersGroup,
                                                               "sample_measurement_state");
    const auto after = page.controls.begin() + (state - page.controls.data()) + 1;
    page.controls.insert(after, {make_field(kParametersGroup, kInterval),
                                 make_list(kParametersGroup, kMultiplexer,
                                           records::choices_of(records::kPhMultiplexers))});
}

void show_ph_config(ChemistryPageView& page) {
    show_number(ph_control(page, kInterval), page.config.sample_interval_ms);
    show_choice(ph_control(page, kMultiplexer), page.config.multiplexer);
}

void collect_ph_config(ChemistryPageView& page) {
    page.config.sample_interval_ms = interval_value(ph_control(page, kInterval));
    page.config.multiplexer =
        static_cast<std::uint8_t>(common::selected_value(ph_control(page, kMultiplexer)));
}

void show_ph_params(ChemistryPageView& page) {
    records::show_record(page.controls, kParametersGroup, records::decode_ph_params(page.params));
}

void collect_ph_params(ChemistryPageView& page) {
    records::PhParams p = records::decode_ph_params(page.params);
    records::collect_record(page.controls, kParametersGroup, p);
    p.layout = 1;
    page.params = record_bytes(p);
}

void no_rules(ChemistryPageView&) {}

}  // namespace

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
