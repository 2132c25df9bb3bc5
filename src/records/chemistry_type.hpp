// The chemistries the sensor runs, with the constant table behind the chemistry tabs,
// the configuration report and the processing dialogs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelpira::records {

// The sensor stores the chemistry as one byte; codes outside the table are representable
// so that a record from newer firmware is carried, not lost.
enum class ChemistryType : std::uint8_t {
    generic = 0,
    nitrate = 1,
    phosphate = 2,
    silicate = 3,
    ph = 4,
    nitrite = 5,
    iron = 6,
    ta = 7,
    dic = 8,
    ammonia = 9,
};

// Which kind of page (and processing record) a chemistry uses.
enum class ChemistryPage : std::uint8_t { generic, nutrient, ph, ta, dic, ammonia };

struct ChemistryDescriptor {
    ChemistryType code;
    std::string_view tab_text;
    std::string_view report_text;
    ChemistryPage page;
    std::size_t record_length;  // bytes of the processing-parameter record
};

// In tab order, which is not the numeric order of the codes.
inline constexpr std::array<ChemistryDescriptor, 10> kChemistryTable{{
    {ChemistryType::generic, "Generic", "Chemistry Type: Generic", ChemistryPage::generic, 67},
    {ChemistryType::nitrate, "Nitrate", "Chemistry Type: Nitrate", ChemistryPage::nutrient, 29},
    {ChemistryType::nitrite, "Nitrite", "Chemistry Type: Nitrite", ChemistryPage::nutrient, 29},
    {ChemistryType::phosphate, "Phosphate", "Chemistry Type: Phosphate", ChemistryPage::nutrient,
     29},
    {ChemistryType::silicate, "Silicate", "Chemistry Type: Silicate", ChemistryPage::nutrient, 29},
    {ChemistryType::iron, "Iron", "Chemistry Type: Iron", ChemistryPage::nutrient, 29},
    {ChemistryType::ph, "pH", "Chemistry Type: pH", ChemistryPage::ph, 38},
    {ChemistryType::ta, "TA", "Chemistry Type: Total Alkalinity (TA)", ChemistryPage::ta, 39},
    {ChemistryType::dic, "DIC", "Chemistry Type: Dissolved Inorganic Carbon (DIC)",
     ChemistryPage::dic, 25},
    {ChemistryType::ammonia, "Ammonia", "Chemistry Type: Ammonia", ChemistryPage::ammonia, 2},
}};

// The descriptor of a code, or nullptr for a code no tab carries.
const ChemistryDescriptor* find_chemistry(ChemistryType code);

// Tab index (0-based) of a code, or the table size when no tab carries it.
std::size_t chemistry_tab_index(ChemistryType code);

// Length of the processing-parameter record of a code; 0 for an unknown code.
std::size_t processing_record_length(ChemistryType code);

// Nitrate, Nitrite, Phosphate, Silicate and Iron.
bool is_nutrient(ChemistryType code);

// The report line, "Chemistry Type: unknown (%u)" for a code outside the table.
std::string chemistry_report_text(ChemistryType code);

// Ratio by which the optical-correction absorbance is diluted, per nutrient chemistry:
// Nitrate 1.5, Phosphate 3.0, Silicate 4.0, Nitrite 2.0, Iron 1.135, any other 1.0.
double dilution_ratio(ChemistryType code);

constexpr std::uint8_t code_of(ChemistryType t) {
    return static_cast<std::uint8_t>(t);
}

}  // namespace kelpira::records
