// The result tables of the pH, TA and DIC processing: column titles and the text of each cell,
// shared by the dialogs' lists, their "Save" and kelpira-process. A saved table is a line of
// titles, then one line per result, cells joined by "," (quoted only when they hold a comma, a
// quote or a line break), each line ending in a line feed.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "common/csv_cell.hpp"
#include "processing/dic_engine.hpp"
#include "processing/ph_engine.hpp"
#include "processing/ta_engine.hpp"

namespace kelpira::processing {

inline constexpr std::array<std::string_view, 8> kPhResultColumns{
    "Time (platform)", "pH",      "r",        "r (adjusted)",
    "T (thermistor)",  "S (PSU)", "T (degC)", "DO (ml/l)"};

inline constexpr std::array<std::string_view, 5> kTaResultColumns{
    "Time (platform)", "TA (uM)", "Absorbance LED1", "Absorbance LED2", "Temperature (C)"};

inline constexpr std::array<std::string_view, 7> kDicResultColumns{
    "Time (platform)", "Meas State",      "DIC (umol/kg)", "Sample Step (V)",
    "CRM Step (V)",    "Temperature (C)", "Validity"};

std::array<std::string, kPhResultColumns.size()> ph_result_cells(const PhResult& r);
std::array<std::string, kTaResultColumns.size()> ta_result_cells(const TaResult& r);
std::array<std::string, kDicResultColumns.size()> dic_result_cells(const DicResult& r);

// One line of a saved table.
using common::csv_line;

}  // namespace kelpira::processing
