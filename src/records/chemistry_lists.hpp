// The limits and the (value, text) tables of the chemistry records' lists, as the chemistry
// pages show them; configuration snapshots name list values by these texts.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "records/chemistry_type.hpp"
#include "records/field_table.hpp"
#include "records/nutrient_params.hpp"

namespace kelpira::records {

// The highest state number a page stores, and the sample intervals it allows.
inline constexpr std::uint8_t kLastEntryState = 254;
inline constexpr std::uint32_t kSampleIntervalMinMs = 100;
inline constexpr std::uint32_t kSampleIntervalMaxMs = 1000;

// The chemistries by their tab texts.
inline constexpr auto kChemistryNames = [] {
    std::array<ListEntry, kChemistryTable.size()> names{};
    for (std::size_t i = 0; i < names.size(); ++i) {
        names[i] = {code_of(kChemistryTable[i].code), kChemistryTable[i].tab_text};
    }
    return names;
}();

// A nutrient channel's monitor: "None" or an input channel.
inline constexpr std::array<ListEntry, 9> kMonitorChoices{{
    {kNoMonitor, "None"},
    {0, "0"},
    {1, "1"},
    {2, "2"},
    {3, "3"},
    {4, "4"},
    {5, "5"},
    {6, "6"},
    {7, "7"},
}};

inline constexpr std::array<ListEntry, 1> kSensorVersions{{{0, "None"}}};

// The report names the TA multiplexers, which the sensor no longer supports, as unknown.
inline constexpr std::array<ListEntry, 4> kMultiplexers{{
    {0, "None", "none"},
    {1, "pH"},
    {2, "TA (T on 567)", "unknown (2)"},
    {3, "TA (T on 267)", "unknown (3)"},
}};

// The multiplexers the pH and TA pages offer; every other page has none.
inline constexpr std::array<ListEntry, 2> kPhMultiplexers{{kMultiplexers[0], kMultiplexers[1]}};
inline constexpr std::array<ListEntry, 3> kTaMultiplexers{
    {kMultiplexers[0], kMultiplexers[2], kMultiplexers[3]}};

// The multiplexers the page of a chemistry offers: None alone on a page without the list.
constexpr std::span<const ListEntry> offered_multiplexers(ChemistryPage page) {
    switch (page) {
        case ChemistryPage::ph:
            return kPhMultiplexers;
        case ChemistryPage::ta:
            return kTaMultiplexers;
        default:
            return std::span(kMultiplexers).first(1);
    }
}

// Whether the page of a chemistry edits the sample interval; the others write 1000 ms.
inline constexpr std::uint32_t kPageSampleIntervalMs = 1000;
constexpr bool page_edits_interval(ChemistryPage page) {
    return page == ChemistryPage::generic || page == ChemistryPage::ph;
}

inline constexpr std::array<ListEntry, 4> kNutrientOutputs{{
    {0, "Medium"},
    {1, "Short"},
    {2, "Long"},
    {kOutputAdaptive, "Adaptive"},
}};

inline constexpr std::array<ListEntry, 3> kStandardAdjustments{{
    {0, "Standard 1"},
    {1, "Standard 2"},
    {2, "Linear Fit", "Linear"},
}};

inline constexpr std::array<ListEntry, 4> kNutrientTriggers{{
    {0, "Standard 1"},
    {1, "Standard 2"},
    {2, "Sample"},
    {3, "Blank"},
}};

inline constexpr std::array<ListEntry, 4> kTaTriggers{{
    {0, "Blank (LED1)"},
    {1, "Blank (LED2)"},
    {2, "Sample (LED1)"},
    {3, "Sample (LED2)"},
}};

inline constexpr std::uint8_t kDicInletSample = 1;
inline constexpr std::uint8_t kDicInletCrm = 2;
inline constexpr std::array<ListEntry, 3> kDicInletTypes{{
    {0, "Unused"},
    {kDicInletSample, "Sample"},
    {kDicInletCrm, "CRM"},
}};

// Whether a DIC inlet of this type uses its field `name`: the intake state for a sample, the
// measurement state for a sample or a CRM, the CRM value for a CRM, the type always.
constexpr bool dic_inlet_uses(std::uint32_t type, std::string_view name) {
    if (name == "intake_state") {
        return type == kDicInletSample;
    }
    if (name == "measurement_state") {
        return type == kDicInletSample || type == kDicInletCrm;
    }
    if (name == "crm_umol_kg") {
        return type == kDicInletCrm;
    }
    return true;
}

}  // namespace kelpira::records
