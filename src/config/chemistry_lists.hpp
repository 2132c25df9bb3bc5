// The (value, text) tables of the chemistry records' lists, as the chemistry pages show them;
// configuration snapshots name list values by these texts.
#pragma once

#include <array>

#include "records/nutrient_params.hpp"
#include "records/optics_records.hpp"

namespace kelpira::config {

inline constexpr std::array<records::ListEntry, 1> kSensorVersions{{{0, "None"}}};

inline constexpr std::array<records::ListEntry, 4> kMultiplexers{{
    {0, "None"},
    {1, "pH"},
    {2, "TA (T on 567)"},
    {3, "TA (T on 267)"},
}};

inline constexpr std::array<records::ListEntry, 4> kNutrientOutputs{{
    {0, "Medium"},
    {1, "Short"},
    {2, "Long"},
    {records::kOutputAdaptive, "Adaptive"},
}};

inline constexpr std::array<records::ListEntry, 3> kStandardAdjustments{{
    {0, "Standard 1"},
    {1, "Standard 2"},
    {2, "Linear Fit"},
}};

inline constexpr std::array<records::ListEntry, 4> kNutrientTriggers{{
    {0, "Standard 1"},
    {1, "Standard 2"},
    {2, "Sample"},
    {3, "Blank"},
}};

inline constexpr std::array<records::ListEntry, 4> kTaTriggers{{
    {0, "Blank (LED1)"},
    {1, "Blank (LED2)"},
    {2, "Sample (LED1)"},
    {3, "Sample (LED2)"},
}};

inline constexpr std::array<records::ListEntry, 3> kDicInletTypes{{
    {0, "Unused"},
    {1, "Sample"},
    {2, "CRM"},
}};

}  // namespace kelpira::config
