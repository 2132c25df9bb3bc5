// Cell texts and lines of the pH, TA and DIC result tables.
#include "processing/result_csv.hpp"

#include <cstdio>

#include "common/csv_cell.hpp"
#include "common/time_text.hpp"

namespace kelpira::processing {

namespace {

std::string fixed(double value, int decimals) {
    char buffer[400];  // enough for any double in %f
    const int n = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

}  // namespace

std::array<std::string, kPhResultColumns.size()> ph_result_cells(const PhResult& r) {
    return {common::utc_time_text(r.time),
            fixed(r.ph, 3),
            fixed(r.r, 4),
            fixed(r.r_adjusted, 4),
            fixed(r.thermistor_temperature, 3),
            fixed(r.salinity, 3),
            fixed(r.temperature, 3),
            fixed(r.oxygen, 3)};
}

std::array<std::string, kTaResultColumns.size()> ta_result_cells(const TaResult& r) {
    return {common::utc_time_text(r.time), fixed(r.ta, 3), fixed(r.absorbance1, 6),
            fixed(r.absorbance2, 6), fixed(r.temperature, 6)};
}

std::array<std::string, kDicResultColumns.size()> dic_result_cells(const DicResult& r) {
    return {common::utc_time_text(r.time),   std::to_string(r.state), fixed(r.dic, 3),
            fixed(r.sample_step, 3),         fixed(r.crm_step, 3),    fixed(r.temperature, 3),
            r.validity == 1 ? "good" : "bad"};
}

}  // namespace kelpira::processing
