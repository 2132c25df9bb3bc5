// Where the sensors of a NetCDF results file were: a fixed position per sensor name for a
// moored sensor (one per deployment when it was moved), or a track of times and positions for
// a sensor on a glider. Read from the command line's texts and CSV files.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kelpira::processing {

// The CF feature of the file: a fixed place per sensor, or a path through the water.
enum class FeatureType { time_series, trajectory };

struct SensorPosition {
    std::string sensor;    // the sensor name of the raw files' headers
    double latitude = 0;   // degrees north
    double longitude = 0;  // degrees east
    // The deployment, seconds since 1970 UTC, start included and end excluded; none: open.
    std::optional<std::int64_t> start;
    std::optional<std::int64_t> end;

    bool operator==(const SensorPosition&) const = default;
};

struct TrackPoint {
    std::int64_t time = 0;  // seconds since 1970 UTC
    double latitude = 0;
    double longitude = 0;

    bool operator==(const TrackPoint&) const = default;
};

struct LatLon {
    double latitude = 0;
    double longitude = 0;
};

// "NAME=LAT,LON" ("Bay 1=50.1,-4.2"): nothing, with `error` saying why, when it does not read
// as one.
std::optional<SensorPosition> parse_position(std::string_view text, std::string& error);

// The rows of a CSV file of name,latitude,longitude[,start,end] (times as
// 2025-06-01T00:00:00Z, empty for an open end), a first line of column titles skipped. Nothing,
// with `error` naming the line, when a row does not read or two deployments of a sensor
// overlap.
std::optional<std::vector<SensorPosition>> parse_positions_csv(std::string_view text,
                                                               std::string& error);

// The rows of a CSV file of time,latitude,longitude, sorted by time, a first line of titles
// skipped. Nothing, with `error` naming the line, when a row does not read or two rows hold one
// time.
std::optional<std::vector<TrackPoint>> parse_track_csv(std::string_view text, std::string& error);

// The entry of `positions` that places `sensor` at `time`, if one does.
std::optional<std::size_t> deployment_at(std::span<const SensorPosition> positions,
                                         std::string_view sensor, double time);

// The position of the track at `time`, linear in time between its points (the shorter way
// round across the 180th meridian); nothing outside the track, which is never extrapolated.
std::optional<LatLon> track_position(std::span<const TrackPoint> track, double time);

// "2025-06-01T00:00:00Z" (the Z may be left off) as seconds since 1970; nothing for any other
// text or a field out of range.
std::optional<std::int64_t> iso_time_seconds(std::string_view text);

}  // namespace kelpira::processing
