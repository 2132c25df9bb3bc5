// Cell texts and lines of the pH, TA and DIC result tables.
#include "processing/result_csv.hpp"

#include "common/csv_cell.hpp"
#include "common/number_text.hpp"
#include "common/time_text.hpp"

namespace kelpira::processing {

std::array<std::string, kPhResultColumns.size()> ph_result_cells(const PhResult& r) {
    return {common::utc_time_text(r.time),
            common::fixed_text(r.ph, 3),
            common::fixed_text(r.r, 4),
            common::fixed_text(r.r_adjusted, 4),
            common::fixed_text(r.thermistor_temperature, 3),
            common::fixed_text(r.salinity, 3),
            common::fixed_text(r.temperature, 3),
            common::fixed_text(r.oxygen, 3)};
}

std::array<std::string, kTaResultColumns.size()> ta_result_cells(const TaResult& r) {
    return {common::utc_time_text(r.time), common::fixed_text(r.ta, 3),
            common::fixed_text(r.absorbance1, 6), common::fixed_text(r.absorbance2, 6),
            common::fixed_text(r.temperature, 6)};
}

std::array<std::string, kDicResultColumns.size()> dic_result_cells(const DicResult& r) {
    return {common::utc_time_text(r.time),     std::to_string(r.state),
            common::fixed_text(r.dic, 3),      common::fixed_text(r.sample_step, 3),
            common::fixed_text(r.crm_step, 3), common::fixed_text(r.temperature, 3),
            r.validity == 1 ? "good" : "bad"};
}

}  // namespace kelpira::processing
