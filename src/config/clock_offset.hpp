// The sensor clock's offset from the PC's UTC, read to a fraction of a second, and its line
// appended to a clock log: what `kelpira-ctl clock --log` and the clock dialog's "Record
// Offset..." do.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "link/sensor_link.hpp"
#include "records/clock_log.hpp"

namespace kelpira::config {

// UTC now; tests stand the virtual sensor's own clock in.
using UtcClock = std::function<std::chrono::system_clock::time_point()>;

inline std::chrono::system_clock::time_point system_utc() {
    return std::chrono::system_clock::now();
}

// How long the clock is read back to back for its second to change before giving up.
inline constexpr std::chrono::milliseconds kOffsetReadLimit{2500};
// A change of second seen to this precision ends the reading; until then, the best one seen
// within kOffsetReadLimit is kept.
inline constexpr double kGoodOffsetPrecision = 0.025;

struct ClockOffset {
    std::int64_t utc_ms = 0;  // the moment the sensor's second changed, by the PC's clock
    double offset_s = 0;      // the sensor's clock minus UTC
    double precision_s = 0;   // the true offset lies within offset_s +- precision_s
};

// Reads the sensor's clock back to back until its second changes: the change happened
// between the start of the read before and the end of the read that saw it, so the new
// second's start is put at the middle of that span and the precision is half of it (a few
// milliseconds over USB). Nothing, with `error` saying why, when a read fails or the second
// does not change within kOffsetReadLimit.
std::optional<ClockOffset> measure_clock_offset(link::SensorLink& link, const UtcClock& utc,
                                                std::string& error);

struct RecordedOffset {
    bool ok = false;
    std::string line;  // the log line written, with its line feed
    double precision_s = 0;
    std::string error;  // why nothing was written
};

// Measures the offset of the sensor (its name and serial number as it gives them) and appends
// the line for `event` to the clock log `path`: the header first when the file is new or
// empty. The file is written through the safe writer, so a failed write leaves it as it was;
// a file that is not a clock log is refused.
RecordedOffset record_clock_offset(link::SensorLink& link, const std::string& path,
                                   const std::string& event, const UtcClock& utc = system_utc);

// "offset read to +-0.012 s".
std::string precision_text(double precision_s);

// Appends `line` to the clock log `path` as record_clock_offset does. Empty on success,
// otherwise why nothing was written.
std::string append_clock_log_line(const std::string& path, const std::string& line);

}  // namespace kelpira::config
