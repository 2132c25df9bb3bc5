// What differs between the four chemistries' result tables, written once: kelpira-process, the
// processing dialogs' passes and lists, and the corrected-time column all read this table.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "processing/batch_options.hpp"
#include "processing/raw_header.hpp"

namespace kelpira::processing {

struct ChemistryEntry {
    ChemistryChoice choice;
    std::string_view display_name;              // as messages name it: "nutrient", "pH", ...
    RawChemistry reading;                       // how the rows of a file are read
    std::span<const std::string_view> columns;  // the saved table's titles
    std::span<const int> widths;                // the dialog's list columns, in dialog units
    std::size_t time_columns;                   // the time columns the table starts with
    std::string_view error_caption;             // the dialog's caption for a file it cannot read
};

// The entry of `c`; `automatic` is nutrient's, the chemistry a file without TYPE is read as.
// Nutrient's is the multi-file table, with "Sensor Name" last.
const ChemistryEntry& chemistry_entry(ChemistryChoice c);

// The single-file nutrient dialog's table: nutrient's without its "Sensor Name".
const ChemistryEntry& single_nutrient_entry();

}  // namespace kelpira::processing
