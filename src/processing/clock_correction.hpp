// Result times corrected for the drift of the sensor's clock with a clock log: the offset at a
// result's sensor time is interpolated linearly between the log's records of that sensor
// that bracket it (by their sensor time, utc_time + offset_s); before the first record and
// after the last, the nearest record's offset holds. The corrected time is the sensor time
// minus the offset.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "records/clock_log.hpp"

namespace kelpira::processing {

// The clock log named by --clock-log or the dialogs' "Clock log...".
struct ClockLog {
    std::string path;
    std::vector<records::ClockLogRecord> records;
};

// Reads the log at `path`; nothing, with `error` naming the file and the line, when it
// cannot be read or is refused.
std::optional<ClockLog> load_clock_log(const std::string& path, std::string& error);

// The log's records of the sensor named `sensor_name`, ordered by sensor time; empty when it
// has none.
std::vector<records::ClockLogRecord> sensor_records(const ClockLog& log,
                                                    const std::string& sensor_name);

// The clock's offset at `sensor_time` (seconds since 1970) from `records` (ordered by sensor
// time, at least one).
double offset_at(std::span<const records::ClockLogRecord> records, double sensor_time);

// `sensor_time` minus the offset at it; `sensor_time` itself without records.
double corrected_time(std::span<const records::ClockLogRecord> records, double sensor_time);

// The sensor times of one file's results, gathered while they are corrected, for the
// warnings of what was not corrected as between records.
struct CorrectionSpan {
    std::optional<double> earliest;
    std::optional<double> latest;

    void add(double sensor_time);
};

// What to tell of one file's correction: that the sensor has no record in the log (its times
// are left uncorrected), or how far before the first or after the last record its results
// lie. Empty when every result lies between records, or there are no results.
std::vector<std::string> correction_warnings(const ClockLog& log, const std::string& sensor_name,
                                             std::span<const records::ClockLogRecord> records,
                                             const CorrectionSpan& span);

// The corrected time as the result tables show times: "dd/mm/yyyy hh:mm:ss" UTC, to the
// nearest second.
std::string corrected_time_text(double seconds);

inline constexpr std::string_view kCorrectedTimeColumn = "Time (UTC, corrected)";

}  // namespace kelpira::processing
