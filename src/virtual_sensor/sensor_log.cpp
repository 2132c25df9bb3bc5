// The emulated firmware's diagnostics log, restart log and task table with their commands.
#include "virtual_sensor/sensor_log.hpp"

#include <algorithm>

#include "link/command_catalogue.hpp"
#include "virtual_sensor/live_status.hpp"
#include "virtual_sensor/sensor_clock.hpp"

namespace kelpira::virtual_sensor {

namespace {

using link::CommandCode;

// The firmware's tasks in table order, with the size of their stacks in bytes.
struct TaskShape {
    const char* name;
    std::uint32_t stack_bytes;
};
constexpr std::array<TaskShape, app::kTaskCount> kTasks{{
    {"System", 2048},    {"USB", 4096},      {"Command", 4096},   {"StateMachine", 3072},
    {"Pump", 2048},      {"Valves", 1024},   {"Optics", 2048},    {"ADC", 2048},
    {"Processing", 8192}, {"Storage", 4096}, {"Platform", 3072},  {"RS232", 2048},
    {"Power", 1024},     {"Clock", 1024},    {"Scheduler", 1024}, {"Diagnostics", 2048},
    {"Watchdog", 512},
}};
constexpr std::uint32_t kStackBase = 0x20001000;

// Restarts the sensor remembers from before it was started here.
constexpr std::uint16_t kPastCauses[] = {app::kResetPowerOn, app::kResetWatchdog,
                                         app::kResetExternal, app::kResetPowerOn};

template <std::size_t N>
void put(Exchange& x, const std::array<std::uint8_t, N>& bytes) {
    std::copy(bytes.begin(), bytes.end(), x.response.begin());
    x.response_length = static_cast<std::uint8_t>(N);
}

void open_diagnostics(Exchange& x) {
    auto& logs = x.state.logs;
    logs.read_from = logs.diagnostics.empty() ? logs.next_line : logs.diagnostics.front().counter;
}

void read_diagnostics(Exchange& x) {
    auto& logs = x.state.logs;
    const auto it = std::find_if(logs.diagnostics.begin(), logs.diagnostics.end(),
                                 [&](const auto& e) { return e.counter >= logs.read_from; });
    if (it == logs.diagnostics.end()) {
        x.result = kResultNoRecord;
        return;
    }
    put(x, app::encode(*it));
    logs.read_from = it->counter + 1;
}

void clear_diagnostics(Exchange& x) {
    x.state.logs.diagnostics.clear();
}

// 1 hands out the newest restart, 0 the one after the last handed out.
void get_restart_log_entry(Exchange& x) {
    auto& logs = x.state.logs;
    if (x.request[0] == 1) {
        logs.restart_cursor = 0;
    }
    if (logs.restart_cursor >= logs.restarts.size()) {
        x.result = kResultNoRecord;
        return;
    }
    put(x, app::encode(logs.restarts[logs.restart_cursor++]));
}

void get_task_details(Exchange& x) {
    const std::uint8_t i = x.request[0];
    if (i >= kTasks.size()) {
        x.result = kResultBadValue;
        return;
    }
    std::uint32_t start = kStackBase;
    for (std::uint8_t k = 0; k < i; ++k) {
        start += kTasks[k].stack_bytes;
    }
    app::TaskDetails t;
    t.name = kTasks[i].name;
    t.stack_start = start;
    t.stack_end = start + kTasks[i].stack_bytes - 1;
    // Each task has used a share of its stack of its own; the watchdog task is asleep.
    t.stack_top = t.stack_end + 1 - kTasks[i].stack_bytes * (20 + 7 * i % 60) / 100;
    t.active = i == kTasks.size() - 1 ? 0 : 1;
    t.log_filters = x.state.logs.log_filters[i];
    put(x, app::encode(t));
}

void set_task_flags(Exchange& x) {
    if (x.request_length != app::TaskFlags::size) {
        x.result = link::kResultBadLength;
        return;
    }
    x.state.logs.log_filters = app::decode_task_flags(x.request).log_filters;
}

constexpr std::array kCommands{
    CommandEntry{link::code_value(CommandCode::OPEN_DIAGNOSTICS), open_diagnostics},
    CommandEntry{link::code_value(CommandCode::READ_DIAGNOSTICS), read_diagnostics},
    CommandEntry{link::code_value(CommandCode::CLEAR_DIAGNOSTICS), clear_diagnostics},
    CommandEntry{link::code_value(CommandCode::GET_RESTART_LOG_ENTRY), get_restart_log_entry},
    CommandEntry{link::code_value(CommandCode::GET_TASK_DETAILS), get_task_details},
    CommandEntry{link::code_value(CommandCode::SET_TASK_FLAGS), set_task_flags},
};

}  // namespace

void log_line(SensorState& state, std::uint8_t task, std::uint8_t severity,
              const char* function, std::int32_t line, const std::string& message) {
    auto& logs = state.logs;
    if (task >= logs.log_filters.size() || (logs.log_filters[task] & severity) == 0) {
        return;
    }
    if (logs.diagnostics.size() == kDiagnosticsCapacity) {
        logs.diagnostics.pop_front();
    }
    app::DiagnosticsEntry e;
    e.counter = logs.next_line++;
    e.function = function;
    e.line = line;
    e.task_id = task;
    e.severity = severity;
    e.message = message.substr(0, app::DiagnosticsEntry::kMessageWidth - 1);
    logs.diagnostics.push_back(std::move(e));
}

void record_restart(SensorState& state, std::uint16_t reset_cause, TimePoint now) {
    auto& logs = state.logs;
    app::RestartLogEntry r;
    r.usb_connected = 1;
    r.reset_cause = reset_cause;
    r.supply_decivolts =
        static_cast<std::uint16_t>(std::max(0, supply_mv(state, sample_counter(state, now)) / 100));
    r.counter = ++logs.restart_counter;
    r.rtc_time = static_cast<std::uint32_t>(sensor_seconds(state, now));
    logs.restarts.push_front(r);
    if (logs.restarts.size() > kRestartLogCapacity) {
        logs.restarts.pop_back();
    }
    log_line(state, kTaskSystem, app::kSeverityInfo, "main", 118,
             "Restarted after reset (cause " + std::to_string(reset_cause) + ")");
}

void fill_log_defaults(SensorState& state, TimePoint now) {
    state.logs.log_filters.fill(kDefaultLogFilters);
    // Earlier restarts, a day apart, then this start-up.
    const std::size_t past = std::size(kPastCauses);
    for (std::size_t i = 0; i < past; ++i) {
        record_restart(state, kPastCauses[i], now - std::chrono::hours(24 * (past - i)));
    }
    record_restart(state, app::kResetPowerOn, now);
}

std::span<const CommandEntry> sensor_log_commands() {
    return kCommands;
}

}  // namespace kelpira::virtual_sensor
