// Sensor positions and glider tracks for the NetCDF writer.
#include "processing/netcdf_positions.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/number_scan.hpp"
#include "common/time_text.hpp"

namespace kelpira::processing {

namespace {

// A signed decimal, as typed: "-12.5", "4".
std::optional<double> signed_real(std::string_view text) {
    const bool negative = text.starts_with('-');
    const auto v = common::decimal_real(negative ? text.substr(1) : text);
    if (!v) {
        return std::nullopt;
    }
    return negative ? -*v : *v;
}

std::optional<LatLon> lat_lon(std::string_view lat, std::string_view lon) {
    const auto a = signed_real(lat);
    const auto b = signed_real(lon);
    if (!a || !b || std::abs(*a) > 90 || std::abs(*b) > 180) {
        return std::nullopt;
    }
    return LatLon{*a, *b};
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

// The cells of a CSV line; a cell in double quotes may hold commas and doubled quotes.
std::vector<std::string> cells_of(std::string_view line) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                out.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                out.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    for (auto& cell : out) {
        cell = std::string(trimmed(cell));
    }
    return out;
}

// Each non-blank line's cells with its line number; a first line whose cell `number_cell` is
// not a number is taken for the column titles and skipped.
std::vector<std::pair<std::size_t, std::vector<std::string>>> rows_of(std::string_view text,
                                                                      std::size_t number_cell) {
    std::vector<std::pair<std::size_t, std::vector<std::string>>> rows;
    std::size_t number = 0;
    while (!text.empty()) {
        const auto eol = text.find('\n');
        const std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
        ++number;
        if (trimmed(line).empty()) {
            continue;
        }
        auto cells = cells_of(line);
        const bool titles = rows.empty() && number == 1 &&
                            (cells.size() <= number_cell || !signed_real(cells[number_cell]));
        if (!titles) {
            rows.emplace_back(number, std::move(cells));
        }
    }
    return rows;
}

std::string line_error(std::size_t line, std::string_view what) {
    return "line " + std::to_string(line) + ": " + std::string(what);
}

}  // namespace

std::optional<std::int64_t> iso_time_seconds(std::string_view text) {
    if (text.ends_with('Z')) {
        text.remove_suffix(1);
    }
    common::UtcFields f{};
    char tail = 0;
    const std::string s(text);
    if (s.size() != 19 || std::sscanf(s.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &f.year, &f.month,
                                      &f.day, &f.hour, &f.minute, &f.second, &tail) != 6) {
        return std::nullopt;
    }
    const auto seconds = common::utc_seconds(f);
    const auto back = common::utc_fields(seconds);
    if (back.year != f.year || back.month != f.month || back.day != f.day || back.hour != f.hour ||
        back.minute != f.minute || back.second != f.second) {
        return std::nullopt;  // 31 February, 25 o'clock
    }
    return seconds;
}

std::optional<SensorPosition> parse_position(std::string_view text, std::string& error) {
    const auto eq = text.rfind('=');
    const auto comma = text.rfind(',');
    error = "\"" + std::string(text) +
            "\" is not NAME=LAT,LON with LAT -90..90 and LON -180..180 in decimal degrees";
    if (eq == std::string_view::npos || eq == 0 || comma == std::string_view::npos || comma < eq) {
        return std::nullopt;
    }
    const auto p = lat_lon(text.substr(eq + 1, comma - eq - 1), text.substr(comma + 1));
    if (!p) {
        return std::nullopt;
    }
    error.clear();
    return SensorPosition{std::string(text.substr(0, eq)), p->latitude, p->longitude, {}, {}};
}

std::optional<std::vector<SensorPosition>> parse_positions_csv(std::string_view text,
                                                               std::string& error) {
    std::vector<SensorPosition> out;
    for (const auto& [line, cells] : rows_of(text, 1)) {
        const auto p =
            cells.size() == 3 || cells.size() == 5 ? lat_lon(cells[1], cells[2]) : std::nullopt;
        if (!p || cells[0].empty()) {
            error = line_error(line,
                               "not name,latitude,longitude[,start,end] with latitude -90..90 "
                               "and longitude -180..180");
            return std::nullopt;
        }
        SensorPosition s{cells[0], p->latitude, p->longitude, {}, {}};
        if (cells.size() == 5) {
            for (auto [cell, to] : {std::pair{&cells[3], &s.start}, {&cells[4], &s.end}}) {
                if (!cell->empty() && !(*to = iso_time_seconds(*cell))) {
                    error = line_error(line, "\"" + *cell +
                                                 "\" is not a UTC time like "
                                                 "2025-06-01T00:00:00Z");
                    return std::nullopt;
                }
            }
            if (s.start && s.end && *s.end <= *s.start) {
                error = line_error(line, "the deployment ends before it starts");
                return std::nullopt;
            }
        }
        for (const auto& o : out) {
            const bool overlap = o.sensor == s.sensor &&
                                 (!o.end || !s.start || *s.start < *o.end) &&
                                 (!s.end || !o.start || *o.start < *s.end);
            if (overlap) {
                error = line_error(
                    line, "a deployment of \"" + s.sensor + "\" that overlaps an earlier line's");
                return std::nullopt;
            }
        }
        out.push_back(std::move(s));
    }
    return out;
}

std::optional<std::vector<TrackPoint>> parse_track_csv(std::string_view text, std::string& error) {
    std::vector<TrackPoint> out;
    std::vector<std::size_t> lines;
    for (const auto& [line, cells] : rows_of(text, 1)) {
        const auto time = cells.size() == 3 ? iso_time_seconds(cells[0]) : std::nullopt;
        const auto p = cells.size() == 3 ? lat_lon(cells[1], cells[2]) : std::nullopt;
        if (!time || !p) {
            error = line_error(line,
                               "not time,latitude,longitude with a UTC time like "
                               "2025-06-01T00:00:00Z, latitude -90..90 and longitude -180..180");
            return std::nullopt;
        }
        out.push_back({*time, p->latitude, p->longitude});
        lines.push_back(line);
    }
    std::vector<std::size_t> order(out.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return out[a].time < out[b].time; });
    std::vector<TrackPoint> sorted;
    for (const auto i : order) {
        if (!sorted.empty() && sorted.back().time == out[i].time) {
            error = line_error(lines[i], "a second position at one time");
            return std::nullopt;
        }
        sorted.push_back(out[i]);
    }
    return sorted;
}

std::optional<std::size_t> deployment_at(std::span<const SensorPosition> positions,
                                         std::string_view sensor, double time) {
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const auto& p = positions[i];
        if (p.sensor == sensor && (!p.start || time >= static_cast<double>(*p.start)) &&
            (!p.end || time < static_cast<double>(*p.end))) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<LatLon> track_position(std::span<const TrackPoint> track, double time) {
    if (track.empty() || !std::isfinite(time) || time < static_cast<double>(track.front().time) ||
        time > static_cast<double>(track.back().time)) {
        return std::nullopt;
    }
    const auto after = std::lower_bound(
        track.begin(), track.end(), time,
        [](const TrackPoint& p, double t) { return static_cast<double>(p.time) < t; });
    if (static_cast<double>(after->time) == time) {
        return LatLon{after->latitude, after->longitude};
    }
    const auto& b = *after;
    const auto& a = *(after - 1);
    const double f = (time - static_cast<double>(a.time)) / static_cast<double>(b.time - a.time);
    double step = b.longitude - a.longitude;
    if (step > 180) {
        step -= 360;
    } else if (step < -180) {
        step += 360;
    }
    double lon = a.longitude + f * step;
    if (lon > 180) {
        lon -= 360;
    } else if (lon < -180) {
        lon += 360;
    }
    return LatLon{a.latitude + f * (b.latitude - a.latitude), lon};
}

}  // namespace kelpira::processing
