// The emulated sensor's stores as they are at power-up.
#include "virtual_sensor/sensor_stores.hpp"

#include <algorithm>

namespace kelpira::virtual_sensor {

namespace {

constexpr std::array<const char*, records::kTaskCount> kTaskNames{
    "Idle",  "Timer",  "USB",    "Console", "Platform", "RS485", "Scheduler", "Sampler",  "Optics",
    "Pumps", "Valves", "Heater", "Storage", "Logger",   "Clock", "Monitor",   "Watchdog",
};

constexpr std::size_t kSamplerTask = 7;

}  // namespace

SensorStores initial_stores(std::uint32_t now_seconds, std::int32_t supply_mv) {
    SensorStores s;
    records::RestartLogEntry restart;
    restart.usb_connected = 1;
    restart.reset_cause = records::kResetPowerOn;
    restart.supply_decivolts = static_cast<std::uint16_t>(std::max(0, supply_mv / 100));
    restart.counter = 1;
    restart.rtc_time = now_seconds;
    s.restarts.push_back(restart);

    records::DiagnosticsEntry line;
    line.counter = 1;
    line.function = "main";
    line.line = 120;
    line.task_id = 0;
    line.severity = records::kSeverityInfo;
    line.message = "Restarted after reset";
    s.diagnostics.entries.push_back(line);
    s.lines_logged = 1;

    constexpr std::uint32_t kStackBase = 0x20001000;
    constexpr std::uint32_t kStackSize = 0x400;
    for (std::size_t i = 0; i < records::kTaskCount; ++i) {
        auto& t = s.tasks[i];
        t.name = kTaskNames[i];
        t.stack_start = kStackBase + static_cast<std::uint32_t>(i) * kStackSize;
        t.stack_end = t.stack_start + kStackSize - 1;
        t.stack_top = t.stack_end - 0x80 - static_cast<std::uint32_t>(i) * 0x10;
        t.active = 1;
        t.log_filters = records::kSeverityError;
    }
    s.tasks[kSamplerTask].log_filters = records::kSeverityError | records::kSeverityInfo;
    return s;
}

}  // namespace kelpira::virtual_sensor
