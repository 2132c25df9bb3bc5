// Reading the moment the sensor's second changes, and appending its line to a clock log.
#include "config/clock_offset.hpp"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/safe_file.hpp"
#include "common/time_text.hpp"
#include "config/clock_transfer.hpp"
#include "link/identity_probe.hpp"

namespace kelpira::config {

namespace {

using std::chrono::system_clock;

std::int64_t seconds_of(const records::RtcTime& t) {
    return common::utc_seconds({t.year, t.month, t.day, t.hour, t.minute, t.second});
}

std::int64_t ms_of(system_clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
}

double seconds_between(system_clock::time_point from, system_clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

}  // namespace

std::optional<ClockOffset> measure_clock_offset(link::SensorLink& link, const UtcClock& utc,
                                                std::string& error) {
    const auto give_up = std::chrono::steady_clock::now() + kOffsetReadLimit;
    std::optional<ClockOffset> best;
    std::optional<std::int64_t> before;     // the second the previous read saw
    system_clock::time_point before_start;  // when the previous read was sent
    while (std::chrono::steady_clock::now() < give_up) {
        records::RtcTime t;
        const auto start = utc();
        const auto rc = read_rtc_time(link, t);
        const auto end = utc();
        if (rc != link::kResultSuccess) {
            error = "cannot read the sensor's clock (status=" + std::to_string(rc) + ")";
            return std::nullopt;
        }
        const std::int64_t second = seconds_of(t);
        if (before && second != *before) {
            const auto middle = before_start + (end - before_start) / 2;
            ClockOffset o;
            o.utc_ms = ms_of(middle);
            // Against the whole millisecond written in the log (1 ms more uncertainty), so
            // that utc_time + offset_s is the sensor's second exactly.
            o.offset_s = static_cast<double>(second) - static_cast<double>(o.utc_ms) / 1000.0;
            o.precision_s = seconds_between(before_start, end) / 2 + 0.001;
            if (!best || o.precision_s < best->precision_s) {
                best = o;
            }
            // A PC that was busy between the two reads widens the span: the next change
            // may do better.
            if (best->precision_s <= kGoodOffsetPrecision) {
                break;
            }
        }
        before = second;
        before_start = start;
    }
    if (!best) {
        char why[64];
        std::snprintf(why, sizeof why, "the sensor's clock did not move in %.1f s",
                      static_cast<double>(kOffsetReadLimit.count()) / 1000.0);
        error = why;
    }
    return best;
}

std::string precision_text(double precision_s) {
    char text[400];  // room for any double
    // Rounded up: a precision said is never better than the one reached.
    std::snprintf(text, sizeof text, "offset read to +-%.3f s",
                  std::ceil(precision_s * 1000.0 - 1e-9) / 1000.0);
    return text;
}

std::string append_clock_log_line(const std::string& path, const std::string& line) {
    std::string text;
    std::error_code ec;
    // Only a regular file is read back: a terminal or a pipe would wait for input.
    if (std::filesystem::is_regular_file(path, ec)) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream old;
        if (in) {
            old << in.rdbuf();  // an empty file sets only `old`'s failbit
        }
        if (!in || in.bad()) {
            return "cannot read " + path;
        }
        text = old.str();
    }
    if (text.empty()) {
        text = std::string(records::kClockLogHeader) + "\n";
    } else if (!text.starts_with(std::string(records::kClockLogHeader) + "\n") &&
               !text.starts_with(std::string(records::kClockLogHeader) + "\r\n")) {
        return path + " is not a clock log: its first line is not \"" +
               std::string(records::kClockLogHeader) + "\"";
    } else if (text.back() != '\n') {
        text += '\n';
    }
    text += line;
    std::string refusal;
    const bool written = common::write_file_safely(
        path,
        [&text](std::ostream& out) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            return static_cast<bool>(out);
        },
        &refusal);
    if (!written) {
        return refusal.empty() ? "cannot write " + path : refusal;
    }
    return {};
}

RecordedOffset record_clock_offset(link::SensorLink& link, const std::string& path,
                                   const std::string& event, const UtcClock& utc) {
    RecordedOffset out;
    const auto sensor = link::probe_sensor(link);
    if (!sensor) {
        out.error = "cannot read the sensor's name and serial number";
        return out;
    }
    const auto offset = measure_clock_offset(link, utc, out.error);
    if (!offset) {
        return out;
    }
    records::ClockLogRecord r;
    r.utc_ms = offset->utc_ms;
    r.sensor_name = sensor->name;
    r.serial_number = sensor->identification.serial_number;
    r.offset_s = offset->offset_s;
    r.event = event;
    out.line = records::clock_log_line(r);
    out.precision_s = offset->precision_s;
    out.error = append_clock_log_line(path, out.line);
    out.ok = out.error.empty();
    return out;
}

}  // namespace kelpira::config
