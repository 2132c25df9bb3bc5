// The emulated firmware's housekeeping logs: the diagnostics log that its tasks write
// through their log filters, the log of its last restarts, and the task table.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <span>
#include <string>

#include "app/diagnostics_records.hpp"
#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

// Tasks of the firmware that write to the log, by their number in the task table.
inline constexpr std::uint8_t kTaskSystem = 0;
inline constexpr std::uint8_t kTaskStateMachine = 3;
inline constexpr std::uint8_t kTaskStorage = 9;
inline constexpr std::uint8_t kTaskPower = 12;

// The restart log keeps this many restarts, the diagnostics log this many lines.
inline constexpr std::size_t kRestartLogCapacity = 10;
inline constexpr std::size_t kDiagnosticsCapacity = 2000;

// Severities every task logs until the PC changes its filters: errors and information.
inline constexpr std::uint8_t kDefaultLogFilters = app::kSeverityError | app::kSeverityInfo;

// Appends a line to the diagnostics log when the task's filters let its severity through.
// The oldest line goes when the log is full.
void log_line(SensorState& state, std::uint8_t task, std::uint8_t severity,
              const char* function, std::int32_t line, const std::string& message);

// The sensor restarts: the restart is logged (the newest kRestartLogCapacity are kept) and
// the diagnostics log says "Restarted after reset".
void record_restart(SensorState& state, std::uint16_t reset_cause, TimePoint now);

// The task table and restart history a sensor has when it starts.
void fill_log_defaults(SensorState& state, TimePoint now);

std::span<const CommandEntry> sensor_log_commands();

}  // namespace kelpira::virtual_sensor
