// Cell texts and lines of the pH, TA and DIC result tables.
#include "processing/result_csv.hpp"

#include "common/csv_cell.hpp"
#include "common/time_text.hpp"
#include "processing/fixed_cell.hpp"

namespace kelpira::processing {

std::array<std::string, kPhResultColumns.size()> ph_result_cells(const PhResult& r) {
    return {common::utc_time_text(r.time),
            fixed_cell(r.ph, 3),
            fixed_cell(r.r, 4),
            fixed_cell(r.r_adjusted, 4),
            fixed_cell(r.thermistor_temperature, 3),
            fixed_cell(r.salinity, 3),
            fixed_cell(r.temperature, 3),
            fixed_cell(r.oxygen, 3)};
}

std::array<std::string, kTaResultColumns.size()> ta_result_cells(const TaResult& r) {
    return {common::utc_time_text(r.time), fixed_cell(r.ta, 3), fixed_cell(r.absorbance1, 6),
            fixed_cell(r.absorbance2, 6), fixed_cell(r.temperature, 6)};
}

std::array<std::string, kDicResultColumns.size()> dic_result_cells(const DicResult& r) {
    return {
        common::utc_time_text(r.time),   std::to_string(r.state),   fixed_cell(r.dic, 3),
        fixed_cell(r.sample_step, 3),    fixed_cell(r.crm_step, 3), fixed_cell(r.temperature, 3),
        r.validity == 1 ? "good" : "bad"};
}

}  // namespace kelpira::processing
