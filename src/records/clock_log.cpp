// Writing and reading the lines of the clock log.
#include "records/clock_log.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/csv_cell.hpp"
#include "common/number_scan.hpp"
#include "common/time_text.hpp"
#include "common/visible_text.hpp"

namespace kelpira::records {

namespace {

constexpr std::int64_t kMsPerDay = 86400000;

// The cells of one line; quoted cells as common::csv_cell writes them. Nothing for a quote
// that does not close.
std::optional<std::vector<std::string>> split_cells(std::string_view line) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c != '"') {
                cells.back() += c;
            } else if (i + 1 < line.size() && line[i + 1] == '"') {
                cells.back() += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            cells.emplace_back();
        } else {
            cells.back() += c;
        }
    }
    if (quoted) {
        return std::nullopt;
    }
    return cells;
}

// The sensor's name from its cell: common::csv_cell wrote it with an apostrophe when a
// spreadsheet would take it for a formula, and in its visible form, so that a name holding
// control bytes matches the raw files' name again. A cell written by hand with a stray "\"
// is taken as it stands.
std::string name_of_cell(std::string cell) {
    if (cell.size() >= 2 && cell[0] == '\'' &&
        std::string_view("=+-@").find(cell[1]) != std::string_view::npos) {
        cell.erase(0, 1);
    }
    auto bytes = common::text_from_visible(cell);
    return bytes ? std::move(*bytes) : cell;
}

std::optional<int> digits(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) {
        return std::nullopt;
    }
    int v = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (!common::is_decimal_digit(text[i])) {
            return std::nullopt;
        }
        v = v * 10 + (text[i] - '0');
    }
    return v;
}

}  // namespace

std::string iso_utc_text(std::int64_t utc_ms) {
    const std::int64_t day_ms = ((utc_ms % kMsPerDay) + kMsPerDay) % kMsPerDay;
    const auto f = common::utc_fields((utc_ms - day_ms) / 1000 + day_ms / 1000);
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", f.year, f.month, f.day,
                  f.hour, f.minute, f.second, static_cast<int>(day_ms % 1000));
    return text;
}

std::optional<std::int64_t> parse_iso_utc(std::string_view t) {
    const auto year = digits(t, 0, 4), month = digits(t, 5, 2), day = digits(t, 8, 2),
               hour = digits(t, 11, 2), minute = digits(t, 14, 2), second = digits(t, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second || t[4] != '-' || t[7] != '-' ||
        t[10] != 'T' || t[13] != ':' || t[16] != ':') {
        return std::nullopt;
    }
    std::size_t at = 19;
    int ms = 0;
    if (at < t.size() && t[at] == '.') {
        const std::size_t first = ++at;
        while (at < t.size() && common::is_decimal_digit(t[at]) && at - first < 9) {
            if (at - first < 3) {
                ms = ms * 10 + (t[at] - '0');
            }
            ++at;
        }
        if (at == first) {
            return std::nullopt;
        }
        for (std::size_t n = at - first; n < 3; ++n) {
            ms *= 10;
        }
    }
    if (at + 1 != t.size() || t[at] != 'Z') {
        return std::nullopt;
    }
    const common::UtcFields f{*year, *month, *day, *hour, *minute, *second};
    const std::int64_t seconds = common::utc_seconds(f);
    const auto back = common::utc_fields(seconds);
    if (back.year != f.year || back.month != f.month || back.day != f.day || back.hour != f.hour ||
        back.minute != f.minute || back.second != f.second) {
        return std::nullopt;
    }
    return seconds * 1000 + ms;
}

std::string clock_log_line(const ClockLogRecord& r) {
    char offset[64];
    std::snprintf(offset, sizeof offset, "%.3f", r.offset_s);
    const std::string cells[] = {iso_utc_text(r.utc_ms), common::visible_text(r.sensor_name),
                                 std::to_string(r.serial_number), offset, r.event};
    return common::csv_line(cells);
}

ClockLogReading read_clock_log(std::istream& in) {
    ClockLogReading out;
    const auto refuse = [&out](std::size_t number, const std::string& why) {
        out.records.clear();
        out.error = "line " + std::to_string(number) + ": " + why;
        return out;
    };
    std::vector<std::size_t> line_of;  // the line number of each record
    std::string line;
    std::size_t number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (number == 1) {
            if (line != kClockLogHeader) {
                return refuse(
                    1, "not the clock log's header \"" + std::string(kClockLogHeader) + "\"");
            }
            continue;
        }
        if (line.empty()) {
            continue;
        }
        const auto cells = split_cells(line);
        if (!cells || cells->size() != 5) {
            return refuse(number,
                          "not five cells utc_time,sensor_name,serial_number,offset_s,"
                          "event");
        }
        ClockLogRecord r;
        const auto utc = parse_iso_utc((*cells)[0]);
        if (!utc) {
            return refuse(number, "utc_time \"" + (*cells)[0] +
                                      "\" is not an ISO 8601 UTC time such as "
                                      "2026-12-08T10:00:00.250Z");
        }
        r.utc_ms = *utc;
        r.sensor_name = name_of_cell((*cells)[1]);
        const auto serial = common::whole_number((*cells)[2]);
        if (!serial || *serial < 0 || *serial > 0xFFFF) {
            return refuse(number, "serial_number \"" + (*cells)[2] + "\" is not a serial number");
        }
        r.serial_number = static_cast<std::uint32_t>(*serial);
        const std::string& offset = (*cells)[3];
        const auto scanned = common::scan_f64(offset);
        if (!scanned.ok || scanned.end != offset.size() || !std::isfinite(scanned.value)) {
            return refuse(number, "offset_s \"" + offset + "\" is not a number of seconds");
        }
        r.offset_s = scanned.value;
        r.event = (*cells)[4];
        if (std::find(std::begin(kClockEvents), std::end(kClockEvents), r.event) ==
            std::end(kClockEvents)) {
            return refuse(number, "event \"" + r.event + "\" is not deployed, recovered or check");
        }
        for (std::size_t k = 0; k < out.records.size(); ++k) {
            const auto& earlier = out.records[k];
            if (earlier.sensor_name == r.sensor_name &&
                (earlier.utc_ms == r.utc_ms ||
                 std::abs(earlier.sensor_time() - r.sensor_time()) < 0.0005)) {
                return refuse(number, "repeats the record of sensor \"" +
                                          common::visible_text(r.sensor_name) +
                                          "\" at the time of line " + std::to_string(line_of[k]));
            }
        }
        out.records.push_back(std::move(r));
        line_of.push_back(number);
    }
    if (number == 0) {
        return refuse(1, "empty: no clock log header");
    }
    if (in.bad()) {
        out.records.clear();
        out.error = "cannot be read";
    }
    return out;
}

}  // namespace kelpira::records
