// The sensor configuration report: every configuration record read from the sensor, one
// after the other, as the lines the "Sensor Configuration Log" lists and saves.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/sensor_link.hpp"

namespace kelpira::report {

inline constexpr std::size_t kReportNameMax = 20;  // characters of the default file name's stem

// How every line of a read that failed begins.
inline constexpr std::string_view kReportErrorLead = "unable to read ";

struct ConfigReport {
    std::vector<std::string> lines;
    std::size_t failed_reads = 0;  // error lines among `lines`
    // The sensor's name, made visible (a byte that is not UTF-8 as "\xNN"), once its
    // identification is read; "KELPIRA" while it cannot be.
    std::string name = "KELPIRA";
};

// Reads every record and builds the report. A failed read never stops it: its section gets
// the error line with the failing read's result and the next section follows. `pc_utc` is
// the PC's time now, in seconds since 1970 UTC.
ConfigReport build_config_report(link::SensorLink& link, std::int64_t pc_utc);

// "<name>_config.log".
std::string default_report_file_name(const ConfigReport& report);

// The sensor's name as the stem of a proposed file name: a '/' in it would move the folder the
// Save dialog proposes, so each becomes '_'.
std::string file_name_stem(const ConfigReport& report);

}  // namespace kelpira::report
