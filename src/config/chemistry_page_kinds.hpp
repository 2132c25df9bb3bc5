// The six kinds of chemistry page (Generic, nutrient, pH, TA, DIC, Ammonia): what each builds,
// shows, reads back and enables. Used by chemistry_page.cpp only.
#pragma once

#include <cstdint>
#include <vector>

#include "config/chemistry_page.hpp"

namespace kelpira::config::page_kinds {

struct PageKind {
    void (*build)(ChemistryPageView& page);
    // The chemistry-record fields the page edits: page.config to controls and back. The
    // common fields (chemistry, interval 1000, no multiplexer) are set before collect_config.
    void (*show_config)(ChemistryPageView& page);
    void (*collect_config)(ChemistryPageView& page);
    // page.params to controls and back.
    void (*show_params)(ChemistryPageView& page);
    void (*collect_params)(ChemistryPageView& page);
    // The kind's own enabling, applied over "enabled while the check box is ticked".
    void (*rules)(ChemistryPageView& page);
    std::vector<std::uint8_t> (*defaults)(records::ChemistryType code);
};

const PageKind& generic_kind();
const PageKind& ph_kind();
const PageKind& nutrient_kind();
const PageKind& ta_kind();
const PageKind& dic_kind();
const PageKind& ammonia_kind();

// Helpers shared by the kinds.
template <typename Enum>
PageControl& at(ChemistryPageView& page, Enum c) {
    return page.controls[static_cast<std::size_t>(c)];
}
template <typename Enum>
const PageControl& at(const ChemistryPageView& page, Enum c) {
    return page.controls[static_cast<std::size_t>(c)];
}
template <typename Enum>
std::uint8_t byte_of(const ChemistryPageView& page, Enum c) {
    return static_cast<std::uint8_t>(common::selected_value(at(page, c)));
}
template <typename Enum>
void add(ChemistryPageView& page, Enum c, PageControl control) {
    if (page.controls.size() <= static_cast<std::size_t>(c)) {
        page.controls.resize(static_cast<std::size_t>(c) + 1);
    }
    at(page, c) = std::move(control);
}

// The single "None" entry of every "Sensor Version" list.

template <typename Record>
std::vector<std::uint8_t> record_bytes(const Record& record) {
    const auto bytes = encode(record);
    return {bytes.begin(), bytes.end()};
}

}  // namespace kelpira::config::page_kinds
