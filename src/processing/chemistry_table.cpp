#include "processing/chemistry_table.hpp"

#include <array>

#include "processing/nutrient_csv.hpp"
#include "processing/result_csv.hpp"

namespace kelpira::processing {

namespace {

constexpr std::array<int, 8> kNutrientWidths{15, 15, 15, 15, 15, 10, 10, 10};
constexpr std::array<int, 9> kNutrientMultiWidths{15, 15, 15, 15, 15, 10, 10, 10, 20};
constexpr std::array<int, 8> kPhWidths{15, 10, 10, 10, 10, 10, 10, 10};
constexpr std::array<int, 5> kTaWidths{15, 15, 15, 15, 15};
constexpr std::array<int, 7> kDicWidths{15, 10, 12, 12, 12, 12, 12};

constexpr std::string_view kNutrientCaption = "Process Raw Nutrient Output";

// A pH file the dialog cannot read carries the nutrient caption, as it always has.
const std::array<ChemistryEntry, 4> kTable{{
    {ChemistryChoice::nutrient, "nutrient", RawChemistry::nutrient_multi,
     kNutrientMultiResultColumns, kNutrientMultiWidths, 2, kNutrientCaption},
    {ChemistryChoice::ph, "pH", RawChemistry::ph, kPhResultColumns, kPhWidths, 1, kNutrientCaption},
    {ChemistryChoice::ta, "TA", RawChemistry::ta, kTaResultColumns, kTaWidths, 1,
     "Process Raw TA Output"},
    {ChemistryChoice::dic, "DIC", RawChemistry::dic, kDicResultColumns, kDicWidths, 1,
     "Process Raw DIC Output"},
}};

const ChemistryEntry kSingleNutrient{
    ChemistryChoice::nutrient, "nutrient", RawChemistry::nutrient, kNutrientResultColumns,
    kNutrientWidths,           2,          kNutrientCaption};

}  // namespace

const ChemistryEntry& chemistry_entry(ChemistryChoice c) {
    for (const ChemistryEntry& e : kTable) {
        if (e.choice == c) {
            return e;
        }
    }
    return kTable[0];
}

const ChemistryEntry& single_nutrient_entry() {
    return kSingleNutrient;
}

}  // namespace kelpira::processing
