// The variables of a NetCDF results file, one per number the chemistry's result table holds:
// the CSV column title as long_name, UDUNITS units and, where CF has one, the standard name.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "processing/batch_options.hpp"
#include "processing/netcdf_input.hpp"

namespace kelpira::processing {

enum class NetcdfStorage : std::uint8_t {
    time,     // double, seconds since 1970-01-01T00:00:00Z
    real32,   // float, as the engine keeps it
    real64,   // double
    integer,  // int
    flag,     // byte, 1 good, 2 bad (flag_values, flag_meanings)
};

struct NetcdfColumn {
    std::string name;
    std::string long_name;  // the CSV column title, or what the value is
    std::string units;      // UDUNITS; empty: the value has none (a state number, a flag)
    std::string standard_name;
    NetcdfStorage storage = NetcdfStorage::real32;
    // A value the chemistry reports: it carries the processing parameters and, where the
    // result has one, its validity flag as ancillary variable.
    bool reported = false;
    bool positive_down = false;  // a depth
    // A value of the inputs of this nutrient only ("nitrate"), the fill value in the rows of
    // the others; empty: a value of every input.
    std::string nutrient;
    double (*value)(const ResultRecord&) = nullptr;
};

inline constexpr std::string_view kTimeUnits = "seconds since 1970-01-01T00:00:00Z";
inline constexpr std::string_view kValidityName = "validity";

// The variables of the chemistry's results. The time of the sensor's clock is the one named
// "time". A nutrient channel is named after the nutrient of its inputs ("nitrate_medium";
// "nutrient_medium" for inputs without a type), one variable per nutrient and channel when the
// inputs hold several; the channel every input of the nutrient reports gets the nutrient's
// standard name, the others get none.
std::vector<NetcdfColumn> netcdf_columns(ChemistryChoice chemistry,
                                         std::span<const NetcdfInput> inputs);

// Gives each column whose long_name is the table's own title at position i the title
// `titles[i]` instead.
void retitle_columns(std::vector<NetcdfColumn>& columns, ChemistryChoice chemistry,
                     std::span<const std::string> titles);

// The nutrient of a nutrient input as its variables are named: "nitrate", or "nutrient" when
// its header names none.
std::string_view nutrient_of(const NetcdfInput& input);

// "Nitrate", "pH", "TA", "DIC", or "Nutrient" for inputs of mixed nutrient types.
std::string netcdf_quantity_name(ChemistryChoice chemistry, std::span<const NetcdfInput> inputs);

}  // namespace kelpira::processing
