// A batch run's choice of output: a CSV table (the default) or a NetCDF file, and the global
// attributes the user gives the NetCDF file.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "processing/netcdf_positions.hpp"

namespace kelpira::processing {

enum class OutputFormat { csv, netcdf };

// A global attribute given by the user; it wins over the one the writer would have made.
struct NetcdfAttribute {
    std::string name;
    std::string value;
};

struct OutputFormatOptions {
    OutputFormat format = OutputFormat::csv;
    std::vector<NetcdfAttribute> attributes;
    FeatureType feature_type = FeatureType::time_series;
    std::vector<SensorPosition> positions;      // --position
    std::optional<std::string> positions_file;  // --positions FILE.csv, read when the run starts
    std::optional<std::string> track_file;      // --track FILE.csv
};

}  // namespace kelpira::processing
