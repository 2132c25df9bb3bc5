// The sensor name of a raw file for the NetCDF writer.
#include "processing/netcdf_input.hpp"

namespace kelpira::processing {

std::string read_sensor_name(RawFile& file) {
    RawHeader header;
    read_header(file, RawChemistry::nutrient_multi, header);
    return header.sensor_name;
}

}  // namespace kelpira::processing
