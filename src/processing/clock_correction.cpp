// Interpolating a clock log's offsets over a file's results.
#include "processing/clock_correction.hpp"

#include <algorithm>
#include <cmath>
#include <fstream>

#include "common/time_text.hpp"
#include "common/visible_text.hpp"

namespace kelpira::processing {

namespace {

// "42 s", "3 min 5 s", "1 h 5 min", "3 d 2 h": the two largest units.
std::string span_text(double seconds) {
    const std::int64_t s = std::llround(seconds);
    const auto two = [](std::int64_t big, const char* big_unit, std::int64_t small,
                        const char* small_unit) {
        return std::to_string(big) + " " + big_unit + " " + std::to_string(small) + " " +
               small_unit;
    };
    if (s < 60) {
        return std::to_string(s) + " s";
    }
    if (s < 3600) {
        return two(s / 60, "min", s % 60, "s");
    }
    if (s < 86400) {
        return two(s / 3600, "h", s % 3600 / 60, "min");
    }
    return two(s / 86400, "d", s % 86400 / 3600, "h");
}

}  // namespace

std::optional<ClockLog> load_clock_log(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open the clock log " + path;
        return std::nullopt;
    }
    auto reading = records::read_clock_log(in);
    if (!reading.error.empty()) {
        error = "clock log " + path + ": " + reading.error;
        return std::nullopt;
    }
    return ClockLog{path, std::move(reading.records)};
}

std::vector<records::ClockLogRecord> sensor_records(const ClockLog& log,
                                                    const std::string& sensor_name) {
    std::vector<records::ClockLogRecord> out;
    std::copy_if(log.records.begin(), log.records.end(), std::back_inserter(out),
                 [&](const records::ClockLogRecord& r) { return r.sensor_name == sensor_name; });
    std::sort(out.begin(), out.end(),
              [](const auto& a, const auto& b) { return a.sensor_time() < b.sensor_time(); });
    return out;
}

double offset_at(std::span<const records::ClockLogRecord> records, double sensor_time) {
    if (sensor_time <= records.front().sensor_time()) {
        return records.front().offset_s;
    }
    if (sensor_time >= records.back().sensor_time()) {
        return records.back().offset_s;
    }
    const auto after = std::upper_bound(
        records.begin(), records.end(), sensor_time,
        [](double t, const records::ClockLogRecord& r) { return t < r.sensor_time(); });
    const auto& a = *(after - 1);
    const auto& b = *after;
    const double f = (sensor_time - a.sensor_time()) / (b.sensor_time() - a.sensor_time());
    return a.offset_s + f * (b.offset_s - a.offset_s);
}

double corrected_time(std::span<const records::ClockLogRecord> records, double sensor_time) {
    return records.empty() ? sensor_time : sensor_time - offset_at(records, sensor_time);
}

void CorrectionSpan::add(double sensor_time) {
    earliest = std::min(earliest.value_or(sensor_time), sensor_time);
    latest = std::max(latest.value_or(sensor_time), sensor_time);
}

std::vector<std::string> correction_warnings(const ClockLog& log, const std::string& sensor_name,
                                             std::span<const records::ClockLogRecord> records,
                                             const CorrectionSpan& span) {
    std::vector<std::string> out;
    const std::string sensor = "sensor \"" + common::visible_text(sensor_name) + "\"";
    if (records.empty()) {
        out.push_back("no record of " + sensor + " in the clock log " + log.path +
                      ": its times are left uncorrected");
        return out;
    }
    if (!span.earliest) {
        return out;
    }
    const double before = records.front().sensor_time() - *span.earliest;
    if (before > 0) {
        out.push_back("results of " + sensor + " lie up to " + span_text(before) +
                      " before its first clock log record (" +
                      records::iso_utc_text(records.front().utc_ms) +
                      "): that record's offset is used there");
    }
    const double after = *span.latest - records.back().sensor_time();
    if (after > 0) {
        out.push_back("results of " + sensor + " lie up to " + span_text(after) +
                      " after its last clock log record (" +
                      records::iso_utc_text(records.back().utc_ms) +
                      "): that record's offset is used there");
    }
    return out;
}

std::string corrected_time_text(double seconds) {
    const double rounded = std::round(seconds);
    const double clamped = std::clamp(rounded, 0.0, 4294967295.0);
    return common::utc_time_text(static_cast<std::uint32_t>(clamped));
}

}  // namespace kelpira::processing
