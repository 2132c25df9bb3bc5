// Seaglider and BRIDGES commands as the firmware takes them.
#include "virtual_sensor/glider_protocol.hpp"

#include <cstdio>

#include "virtual_sensor/platform_exchange.hpp"
#include "virtual_sensor/platform_report.hpp"
#include "virtual_sensor/sensor_clock.hpp"

namespace kelpira::virtual_sensor {

namespace {

bool starts_with(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// sscanf over the whole line: every conversion filled and nothing left over.
template <typename... T>
bool scan_all(const std::string& text, const char* format, int fields, T*... out) {
    int used = -1;
    const std::string with_end = std::string(format) + "%n";
    return std::sscanf(text.c_str(), with_end.c_str(), out..., &used) == fields &&
           used == static_cast<int>(text.size());
}

void clock_set(SensorState& state, TimePoint now, const std::string& args) {
    common::UtcFields d{};
    if (scan_all(args, "%d,%d,%d,%d,%d,%d", 6, &d.day, &d.month, &d.year, &d.hour, &d.minute,
                 &d.second)) {
        set_sensor_date(state, now, d);
    }
}

void status(SensorState& state, TimePoint now, const std::string& args) {
    char direction = 0;
    float depth = 0;
    int p1 = 0;
    int p2 = 0;
    int p3 = 0;
    if (!scan_all(args, "%c,%f,%d,%d,%d", 5, &direction, &depth, &p1, &p2, &p3)) {
        return;
    }
    PlatformReport r;
    r.time = static_cast<std::uint32_t>(sensor_seconds(state, now));
    r.depth = depth;
    if (direction == 'a') {
        r.direction = kPlatformDown;
    } else if (direction == 'b') {
        r.direction = kPlatformUp;
    }
    r.p1 = p1;
    r.p2 = p2;
    r.p3 = p3;
    state.platform_report = r;
}

std::string sample_reply(const SensorState& state, TimePoint now, SerialProtocol protocol) {
    const Measurement m = current_measurement(state, now);
    char reply[96];
    std::snprintf(reply, sizeof reply, "%s%u,%d,%d,%d,%u\r",
                  protocol == SerialProtocol::bridges ? kBridgesPrompt.data() : "", m.time,
                  m.value_milli, m.temperature_mc, m.valid ? 0 : 1, m.std_dev_milli);
    return reply;
}

}  // namespace

std::vector<std::string> answer_glider_line(SensorState& state, TimePoint now,
                                            SerialProtocol protocol, std::string_view line) {
    constexpr std::string_view kClockSet = "clock-set=";
    constexpr std::string_view kStart = "start=";
    constexpr std::string_view kStatus = "status=";
    if (starts_with(line, kClockSet)) {
        clock_set(state, now, std::string(line.substr(kClockSet.size())));
    } else if (starts_with(line, kStart)) {
        unsigned dive = 0;
        if (scan_all(std::string(line.substr(kStart.size())), "%u", 1, &dive)) {
            start_deployment(state, now);
        }
    } else if (starts_with(line, kStatus)) {
        status(state, now, std::string(line.substr(kStatus.size())));
    } else if (line == "sample") {
        return {sample_reply(state, now, protocol)};
    } else if (line == "download=1") {
        return download_lines(state);
    }
    return {};
}

}  // namespace kelpira::virtual_sensor
