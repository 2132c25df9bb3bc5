// The clock log: a CSV file of the sensor clock's offsets from UTC, one line per reading, as
// `kelpira-ctl clock --log` and the clock dialog's "Record Offset..." append them and as
// processing reads them to correct result times for the clock's drift.
//
//     utc_time,sensor_name,serial_number,offset_s,event
//     2026-12-08T10:00:00.250Z,Bay 1,1001,42.000,deployed
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelpira::records {

inline constexpr std::string_view kClockLogHeader =
    "utc_time,sensor_name,serial_number,offset_s,event";

// Why a reading was taken; the event is written as given.
inline constexpr std::string_view kClockEvents[] = {"deployed", "recovered", "check"};
inline constexpr std::string_view kDefaultClockEvent = "check";

struct ClockLogRecord {
    std::int64_t utc_ms = 0;  // when it was read: milliseconds since 1970-01-01T00:00:00Z
    std::string sensor_name;
    std::uint32_t serial_number = 0;
    double offset_s = 0;  // the sensor's clock minus UTC
    std::string event{kDefaultClockEvent};

    // The sensor's own time at the reading, in seconds: utc_time + offset_s.
    double sensor_time() const { return static_cast<double>(utc_ms) / 1000.0 + offset_s; }
};

// "2026-12-08T10:00:00.250Z".
std::string iso_utc_text(std::int64_t utc_ms);
// The milliseconds of "YYYY-MM-DDTHH:MM:SS[.fff...]Z" (a fraction of up to nine digits, read
// to the millisecond); nothing for any other text or a date that does not exist.
std::optional<std::int64_t> parse_iso_utc(std::string_view text);

// The record's line, cells as common::csv_cell writes them, the offset with three decimals,
// ending in a line feed.
std::string clock_log_line(const ClockLogRecord& r);

struct ClockLogReading {
    std::vector<ClockLogRecord> records;  // in the file's order
    std::string error;                    // "line 3: ...": the log is refused as a whole
};

// Reads a whole log: the header line exactly, then one record per line (blank lines
// skipped). Refused, naming the line, for another header, a line that is not five cells, an
// unreadable time, serial number or offset, an event not listed above, or a record whose
// sensor name and time repeat those of an earlier line.
ClockLogReading read_clock_log(std::istream& in);

}  // namespace kelpira::records
