// The profile a NetCDF results file follows beyond CF and ACDD: the NCEI NetCDF template v2.0
// for a time series or a trajectory, and the rules for the global attributes a user adds.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "processing/netcdf_positions.hpp"

namespace kelpira::processing {

// The template the file's layout follows.
std::string_view ncei_template_version(FeatureType feature);

// The version of the CF standard name table every standard name the files use is in.
inline constexpr std::string_view kStandardNameVocabulary = "CF Standard Name Table v79";

// The naming authority of a file whose user gave none: the id is then unique among the files
// kelpira-process writes, not beyond.
inline constexpr std::string_view kDefaultNamingAuthority = "local.kelpira";

// Why a user's global attribute NAME=VALUE cannot be written, if it cannot ("title has an empty
// value..."): a name that is not letters, digits and "_" starting with a letter, an empty
// value, an attribute the layout decides (Conventions, featureType, cdm_data_type,
// ncei_template_version), a number attribute (geospatial_lat_min ...) that is not a number.
std::optional<std::string> netcdf_attribute_problem(std::string_view name, std::string_view value);

// True for the global attributes that are numbers (geospatial bounds), written as doubles.
bool is_number_attribute(std::string_view name);

// An ISO 8601 duration of whole seconds: "P1DT2H3M4S", "PT0S".
std::string iso_duration(std::int64_t seconds);

// The id of a file whose user gave none: stable for the same quantity, sensors and start,
// made of letters, digits, "_", "-" and ".": "kelpira_nitrate_bay_1_20231114T221320Z".
std::string default_file_id(std::string_view quantity, std::span<const std::string> sensors,
                            std::int64_t start);

}  // namespace kelpira::processing
