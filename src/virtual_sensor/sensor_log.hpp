// What the emulated firmware writes into its stores while it works: diagnostics log lines
// through its tasks' log filters, restarts, and the processed result of each cycle.
#pragma once

#include <cstdint>
#include <string>

#include "records/diagnostics_records.hpp"
#include "records/output_record.hpp"
#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

// Tasks of the firmware's task table that write to the log.
inline constexpr std::uint8_t kTaskIdle = 0;      // restarts
inline constexpr std::uint8_t kTaskSampler = 7;   // the state machine
inline constexpr std::uint8_t kTaskStorage = 12;  // raw output files
inline constexpr std::uint8_t kTaskMonitor = 15;  // supply voltage

// The restart log keeps this many restarts, the diagnostics log this many lines and the
// output store this many results; the oldest goes first.
inline constexpr std::size_t kRestartLogCapacity = 10;
inline constexpr std::size_t kDiagnosticsCapacity = 2000;
inline constexpr std::size_t kOutputCapacity = 5000;

// Appends a line to the diagnostics log when the task's log filters let its severity through.
void log_line(SensorState& state, std::uint8_t task, std::uint8_t severity, const char* function,
              std::int32_t line, const std::string& message);

// The sensor restarted: the restart log gains the restart and the diagnostics log says
// "Restarted after reset".
void record_restart(SensorState& state, std::uint16_t reset_cause, TimePoint now);

// A cycle's processed result joins the output store.
void store_output(SensorState& state, const records::OutputRecord& record);

}  // namespace kelpira::virtual_sensor
