// Cell texts of the nutrient result table.
#include "processing/nutrient_csv.hpp"

#include <algorithm>
#include <cstdio>

#include "common/time_text.hpp"

namespace kelpira::processing {

namespace {

std::string fixed(double value, int decimals) {
    char buffer[400];  // room for any double in "%.3f"
    const int n = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

}  // namespace

std::array<std::string, 8> nutrient_result_cells(const NutrientResult& r) {
    return {common::utc_time_text(r.platform_time),
            common::utc_time_text(r.sensor_time),
            fixed(r.medium, 3),
            fixed(r.short_path, 3),
            fixed(r.long_path, 3),
            fixed(r.depth, 2),
            fixed(r.salinity, 3),
            fixed(r.temperature, 3)};
}

std::array<std::string, 9> nutrient_multi_result_cells(const NutrientResult& r,
                                                       std::string_view sensor_name) {
    const auto cells = nutrient_result_cells(r);
    std::array<std::string, 9> out;
    std::copy(cells.begin(), cells.end(), out.begin());
    out[8] = std::string(sensor_name);
    return out;
}

}  // namespace kelpira::processing
