// The sensor name of a raw file for the NetCDF writer, and the sensor time of a result.
#include "processing/netcdf_input.hpp"

#include <type_traits>

namespace kelpira::processing {

std::string read_sensor_name(RawFile& file) {
    RawHeader header;
    read_header(file, RawChemistry::nutrient_multi, header);
    return header.sensor_name;
}

std::uint32_t result_sensor_time(const ResultRecord& record) {
    return std::visit(
        [](const auto& r) -> std::uint32_t {
            if constexpr (std::is_same_v<std::decay_t<decltype(r)>, NutrientResult>) {
                return r.sensor_time;
            } else {
                return r.time;
            }
        },
        record);
}

}  // namespace kelpira::processing
