// What the emulated firmware keeps of its past: diagnostics log lines, restarts, the task
// table's log filters and the processed results of its runs. Read by the PC through
// streams that each remember where the reader got to.
#pragma once

#include <array>
#include <cstdint>
#include <deque>

#include "app/diagnostics_records.hpp"
#include "app/output_record.hpp"
#include "link/sensor_command.hpp"

namespace kelpira::virtual_sensor {

// The sensor's answer to a read when there is no further line or record for now.
inline constexpr link::CommandResult kResultNoRecord = 3;

struct SensorLogs {
    std::deque<app::DiagnosticsEntry> diagnostics;  // oldest first
    std::uint32_t next_line = 1;                    // counter of the next line logged
    std::uint32_t read_from = 1;  // READ_DIAGNOSTICS hands out the first line from here
    std::deque<app::RestartLogEntry> restarts;  // newest first
    std::uint32_t restart_counter = 0;
    std::size_t restart_cursor = 0;  // the entry GET_RESTART_LOG_ENTRY hands out next
    std::array<std::uint8_t, app::kTaskCount> log_filters{};
};

struct OutputStore {
    std::deque<app::OutputRecord> records;  // oldest first
    std::uint64_t first = 0;                // number of records[0] since the sensor started
    std::uint64_t read_from = 0;            // READ_OUTPUT_RECORD hands out this one next
};

}  // namespace kelpira::virtual_sensor
