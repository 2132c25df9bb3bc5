// Look-ups in the chemistry table.
#include "records/chemistry_type.hpp"

namespace kelpira::records {

const ChemistryDescriptor* find_chemistry(ChemistryType code) {
    for (const auto& d : kChemistryTable) {
        if (d.code == code) {
            return &d;
        }
    }
    return nullptr;
}

std::size_t chemistry_tab_index(ChemistryType code) {
    for (std::size_t i = 0; i < kChemistryTable.size(); ++i) {
        if (kChemistryTable[i].code == code) {
            return i;
        }
    }
    return kChemistryTable.size();
}

std::size_t processing_record_length(ChemistryType code) {
    const auto* d = find_chemistry(code);
    return d != nullptr ? d->record_length : 0;
}

bool is_nutrient(ChemistryType code) {
    const auto* d = find_chemistry(code);
    return d != nullptr && d->page == ChemistryPage::nutrient;
}

std::string chemistry_report_text(ChemistryType code) {
    if (const auto* d = find_chemistry(code)) {
        return std::string(d->report_text);
    }
    return "Chemistry Type: unknown (" + std::to_string(code_of(code)) + ")";
}

double dilution_ratio(ChemistryType code) {
    switch (code) {
        case ChemistryType::nitrate:
            return 1.5;
        case ChemistryType::phosphate:
            return 3.0;
        case ChemistryType::silicate:
            return 4.0;
        case ChemistryType::nitrite:
            return 2.0;
        case ChemistryType::iron:
            return 1.135;
        default:
            return 1.0;
    }
}

}  // namespace kelpira::records
