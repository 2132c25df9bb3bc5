// The sensor's own housekeeping records: a diagnostics log line, a restart log entry, one
// task of the task table, and the log filters written back for all tasks.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kelpira::records {

// Severity of a log line; the same bits as a task's log filters.
constexpr std::uint8_t kSeverityError = 1;
constexpr std::uint8_t kSeverityInfo = 2;
constexpr std::uint8_t kSeverityDebug = 4;

// One line of the diagnostics log (READ_DIAGNOSTICS).
struct DiagnosticsEntry {
    static constexpr std::size_t size = 114;
    static constexpr std::size_t kFunctionWidth = 32;
    static constexpr std::size_t kMessageWidth = 71;

    std::uint8_t reserved0 = 0;
    std::uint32_t counter = 0;  // running number of the line
    std::string function;       // up to its terminator or the field's end
    std::int32_t line = 0;      // source line in the function's file
    std::uint8_t task_id = 0;   // 0..16 in the task table
    std::uint8_t severity = 0;  // kSeverityError, kSeverityInfo or kSeverityDebug
    std::string message;

    bool operator==(const DiagnosticsEntry&) const = default;
};

// Restart causes with a text of their own; the processor's data sheet defines the others.
constexpr std::uint16_t kResetClockChanged = 0;
constexpr std::uint16_t kResetPowerOn = 1;
constexpr std::uint16_t kResetExternal = 4;
constexpr std::uint16_t kResetWatchdog = 8;

// One of the last restarts (GET_RESTART_LOG_ENTRY).
struct RestartLogEntry {
    static constexpr std::size_t size = 14;

    std::uint8_t reserved0 = 0;
    std::uint8_t usb_connected = 0;  // non-zero: USB was connected at the restart
    std::uint16_t reset_cause = 0;
    std::uint16_t supply_decivolts = 0;
    std::uint32_t counter = 0;   // restart counter
    std::uint32_t rtc_time = 0;  // seconds since 1970-01-01 UTC

    bool operator==(const RestartLogEntry&) const = default;
};

constexpr std::size_t kTaskCount = 17;  // the firmware's tasks, numbered 0..16

// One task of the firmware (GET_TASK_DETAILS). The stack grows downwards.
struct TaskDetails {
    static constexpr std::size_t size = 48;
    static constexpr std::size_t kNameWidth = 33;

    std::uint8_t reserved0 = 0;
    std::string name;
    std::uint32_t stack_start = 0;  // lowest address
    std::uint32_t stack_end = 0;    // highest address
    std::uint32_t stack_top = 0;    // current top
    std::uint8_t active = 0;        // 0 inactive
    std::uint8_t log_filters = 0;   // bit 0 Error, bit 1 Info, bit 2 Debug

    bool operator==(const TaskDetails&) const = default;
};

// The log filters of every task, in task order (SET_TASK_FLAGS): 17 bytes, then nine zeros.
struct TaskFlags {
    static constexpr std::size_t size = 26;

    std::array<std::uint8_t, kTaskCount> log_filters{};

    bool operator==(const TaskFlags&) const = default;
};

// A field that short input does not cover whole reads as zero; texts stop at their terminator
// or at their field's end.
DiagnosticsEntry decode_diagnostics_entry(std::span<const std::uint8_t> data);
std::array<std::uint8_t, DiagnosticsEntry::size> encode(const DiagnosticsEntry& e);
RestartLogEntry decode_restart_log_entry(std::span<const std::uint8_t> data);
std::array<std::uint8_t, RestartLogEntry::size> encode(const RestartLogEntry& e);
TaskDetails decode_task_details(std::span<const std::uint8_t> data);
std::array<std::uint8_t, TaskDetails::size> encode(const TaskDetails& t);
TaskFlags decode_task_flags(std::span<const std::uint8_t> data);
std::array<std::uint8_t, TaskFlags::size> encode(const TaskFlags& f);

}  // namespace kelpira::records
