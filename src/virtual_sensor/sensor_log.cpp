// The emulated firmware's writes into its diagnostics log, restart log and output store.
#include "virtual_sensor/sensor_log.hpp"

#include <algorithm>

#include "virtual_sensor/live_status.hpp"
#include "virtual_sensor/sensor_clock.hpp"

namespace kelpira::virtual_sensor {

namespace {

// Drops the oldest entry of a full store; a reader part-way through keeps its place.
template <typename T>
void make_room(ReadableStore<T>& store, std::size_t capacity) {
    if (store.entries.size() >= capacity) {
        store.entries.erase(store.entries.begin());
        store.next = store.next > 0 ? store.next - 1 : 0;
    }
}

}  // namespace

void log_line(SensorState& state, std::uint8_t task, std::uint8_t severity, const char* function,
              std::int32_t line, const std::string& message) {
    auto& stores = state.stores;
    if (task >= stores.tasks.size() || (stores.tasks[task].log_filters & severity) == 0) {
        return;
    }
    auto& log = stores.diagnostics;
    make_room(log, kDiagnosticsCapacity);
    records::DiagnosticsEntry e;
    e.counter = ++stores.lines_logged;
    e.function = function;
    e.line = line;
    e.task_id = task;
    e.severity = severity;
    e.message = message.substr(0, records::DiagnosticsEntry::kMessageWidth - 1);
    log.entries.push_back(std::move(e));
}

void record_restart(SensorState& state, std::uint16_t reset_cause, TimePoint now) {
    auto& restarts = state.stores.restarts;
    records::RestartLogEntry r;
    r.usb_connected = 1;
    r.reset_cause = reset_cause;
    r.supply_decivolts =
        static_cast<std::uint16_t>(std::max(0, supply_mv(state, sample_counter(state, now)) / 100));
    r.counter = restarts.empty() ? 1 : restarts.front().counter + 1;
    r.rtc_time = static_cast<std::uint32_t>(sensor_seconds(state, now));
    restarts.insert(restarts.begin(), r);
    if (restarts.size() > kRestartLogCapacity) {
        restarts.pop_back();
    }
    state.stores.next_restart = 0;
    log_line(state, kTaskIdle, records::kSeverityInfo, "main", 120, "Restarted after reset");
}

void store_output(SensorState& state, const records::OutputRecord& record) {
    make_room(state.stores.outputs, kOutputCapacity);
    state.stores.outputs.entries.push_back(record);
}

}  // namespace kelpira::virtual_sensor
