// The "NetCDF metadata" form a processing dialog's Save shows before it writes a NetCDF file:
// who made the data and where the sensor was, what kelpira-process takes as --attr and
// --position. The dialog keeps what was typed for its next Save.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "processing/netcdf_input.hpp"

namespace kelpira::processing {

struct NetcdfMetadata {
    std::string creator_name;
    std::string creator_email;
    std::string institution;
    std::string project;
    std::string license;
    std::string latitude;   // decimal degrees north, as typed; empty: not known
    std::string longitude;  // decimal degrees east

    bool operator==(const NetcdfMetadata&) const = default;
};

// One line of the form: its caption and the global attribute it fills (none for a position).
struct NetcdfMetadataField {
    std::string_view caption;
    std::string NetcdfMetadata::*value;
    std::string_view attribute;
};

inline constexpr std::array<NetcdfMetadataField, 7> kNetcdfMetadataFields{{
    {"Creator name", &NetcdfMetadata::creator_name, "creator_name"},
    {"Creator e-mail", &NetcdfMetadata::creator_email, "creator_email"},
    {"Institution", &NetcdfMetadata::institution, "institution"},
    {"Project", &NetcdfMetadata::project, "project"},
    {"Licence", &NetcdfMetadata::license, "license"},
    {"Latitude", &NetcdfMetadata::latitude, ""},
    {"Longitude", &NetcdfMetadata::longitude, ""},
}};

// Why the form cannot be used as it is filled in, if it cannot: a latitude or longitude that
// is not a decimal number in its range, or one given without the other.
std::optional<std::string> netcdf_metadata_problem(const NetcdfMetadata& metadata);

// Adds what the form holds to `description`: each filled line as its global attribute, and the
// position, when given, to every sensor of its inputs. The form must have no problem.
void apply_netcdf_metadata(const NetcdfMetadata& metadata, NetcdfDescription& description);

}  // namespace kelpira::processing
