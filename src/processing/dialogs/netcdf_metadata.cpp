// The processing dialogs' "NetCDF metadata" form.
#include "processing/dialogs/netcdf_metadata.hpp"

#include <algorithm>
#include <cmath>

#include "processing/netcdf_positions.hpp"

namespace kelpira::processing {

namespace {

// The position as kelpira-process's --position reads it.
std::optional<SensorPosition> position_of(const NetcdfMetadata& m) {
    std::string ignored;
    return parse_position("s=" + m.latitude + "," + m.longitude, ignored);
}

}  // namespace

std::optional<std::string> netcdf_metadata_problem(const NetcdfMetadata& m) {
    if (m.latitude.empty() && m.longitude.empty()) {
        return std::nullopt;
    }
    if (m.latitude.empty() || m.longitude.empty()) {
        return "Give both the latitude and the longitude, or neither.";
    }
    if (!position_of(m)) {
        return "The latitude must be a decimal number of degrees north from -90 to 90, the "
               "longitude one of degrees east from -180 to 180.";
    }
    return std::nullopt;
}

void apply_netcdf_metadata(const NetcdfMetadata& m, NetcdfDescription& d) {
    for (const auto& field : kNetcdfMetadataFields) {
        const std::string& value = m.*field.value;
        if (!field.attribute.empty() && !value.empty()) {
            d.attributes.push_back({std::string(field.attribute), value});
        }
    }
    const auto position = position_of(m);
    if (!position) {
        return;
    }
    for (const auto& in : d.inputs) {
        const bool known =
            std::any_of(d.positions.begin(), d.positions.end(),
                        [&](const SensorPosition& p) { return p.sensor == in.sensor_name; });
        if (!known) {
            d.positions.push_back(
                {in.sensor_name, position->latitude, position->longitude, {}, {}});
        }
    }
}

}  // namespace kelpira::processing
