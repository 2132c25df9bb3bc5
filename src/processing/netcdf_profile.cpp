// The NCEI template's names and the rules for the user's global attributes.
#include "processing/netcdf_profile.hpp"

#include <algorithm>
#include <array>
#include <cstdio>

#include "common/number_scan.hpp"
#include "common/time_text.hpp"

namespace kelpira::processing {

namespace {

// Set by the layout the writer chose: another value would describe another file.
constexpr std::array<std::string_view, 4> kProtectedAttributes{
    "Conventions", "featureType", "cdm_data_type", "ncei_template_version"};

constexpr std::array<std::string_view, 6> kNumberAttributes{
    "geospatial_lat_min", "geospatial_lat_max",      "geospatial_lon_min",
    "geospatial_lon_max", "geospatial_vertical_min", "geospatial_vertical_max"};

bool is_letter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

std::string_view ncei_template_version(FeatureType feature) {
    // Results indexed by sensor, of any count per sensor: the template's incomplete layout.
    return feature == FeatureType::time_series ? "NCEI_NetCDF_TimeSeries_Incomplete_Template_v2.0"
                                               : "NCEI_NetCDF_Trajectory_Template_v2.0";
}

bool is_number_attribute(std::string_view name) {
    return std::find(kNumberAttributes.begin(), kNumberAttributes.end(), name) !=
           kNumberAttributes.end();
}

std::optional<std::string> netcdf_attribute_problem(std::string_view name, std::string_view value) {
    const std::string attr(name);
    const bool named = !name.empty() && is_letter(name.front()) &&
                       std::all_of(name.begin(), name.end(), [](char c) {
                           return is_letter(c) || (c >= '0' && c <= '9') || c == '_';
                       });
    if (!named) {
        return "\"" + attr + "\" is not a NAME of letters, digits and _ starting with a letter";
    }
    if (std::find(kProtectedAttributes.begin(), kProtectedAttributes.end(), name) !=
        kProtectedAttributes.end()) {
        return attr + " is set by the file's layout and cannot be given";
    }
    if (value.empty()) {
        return attr + " has an empty value: give a value or leave the attribute out";
    }
    if (is_number_attribute(name)) {
        const bool negative = value.starts_with('-');
        if (!common::decimal_real(negative ? value.substr(1) : value)) {
            return attr + " needs a number in decimal degrees or metres, not \"" +
                   std::string(value) + "\"";
        }
    }
    return std::nullopt;
}

std::string iso_duration(std::int64_t seconds) {
    seconds = std::max<std::int64_t>(seconds, 0);
    const std::int64_t days = seconds / 86400;
    const std::int64_t h = seconds / 3600 % 24;
    const std::int64_t m = seconds / 60 % 60;
    const std::int64_t s = seconds % 60;
    std::string out = "P";
    if (days > 0) {
        out += std::to_string(days) + "D";
    }
    if (h > 0 || m > 0 || s > 0 || days == 0) {
        out += "T";
        if (h > 0) {
            out += std::to_string(h) + "H";
        }
        if (m > 0) {
            out += std::to_string(m) + "M";
        }
        if (s > 0 || (h == 0 && m == 0)) {
            out += std::to_string(s) + "S";
        }
    }
    return out;
}

std::string default_file_id(std::string_view quantity, std::span<const std::string> sensors,
                            std::int64_t start) {
    std::string id = "kelpira_" + std::string(quantity);
    for (const auto& s : sensors) {
        id += "_" + s;
    }
    std::string out;
    for (const char c : id) {
        const bool kept = is_letter(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
        out += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : kept ? c : '_';
    }
    // One "_" for a run of others: "Bay 1" and "Bay_1" name one sensor.
    out.erase(
        std::unique(out.begin(), out.end(), [](char a, char b) { return a == '_' && b == '_'; }),
        out.end());
    const auto f = common::utc_fields(start);
    char time[32];
    std::snprintf(time, sizeof time, "_%04d%02d%02dT%02d%02d%02dZ", f.year, f.month, f.day, f.hour,
                  f.minute, f.second);
    out += time;
    return out;
}

}  // namespace kelpira::processing
