// Cell texts of the nutrient result table.
#include "processing/nutrient_csv.hpp"

#include <algorithm>

#include "common/number_text.hpp"
#include "common/time_text.hpp"
#include "common/visible_text.hpp"

namespace kelpira::processing {

std::array<std::string, 8> nutrient_result_cells(const NutrientResult& r) {
    return {common::utc_time_text(r.platform_time), common::utc_time_text(r.sensor_time),
            common::fixed_text(r.medium, 3),        common::fixed_text(r.short_path, 3),
            common::fixed_text(r.long_path, 3),     common::fixed_text(r.depth, 2),
            common::fixed_text(r.salinity, 3),      common::fixed_text(r.temperature, 3)};
}

std::array<std::string, 9> nutrient_multi_result_cells(const NutrientResult& r,
                                                       std::string_view sensor_name) {
    const auto cells = nutrient_result_cells(r);
    std::array<std::string, 9> out;
    std::copy(cells.begin(), cells.end(), out.begin());
    out[8] = common::visible_text(sensor_name);
    return out;
}

}  // namespace kelpira::processing
