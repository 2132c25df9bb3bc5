// ETI sentences as the firmware takes them.
#include "virtual_sensor/eti_protocol.hpp"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <vector>

#include "host_platform/eti_sentence.hpp"
#include "virtual_sensor/live_status.hpp"
#include "virtual_sensor/platform_report.hpp"
#include "virtual_sensor/sensor_clock.hpp"

namespace kelpira::virtual_sensor {

namespace {

// The body when the checksum after the star is four hexadecimal digits that match it.
std::optional<std::string_view> checked_body(std::string_view sentence) {
    const auto star = sentence.find('*');
    if (star == std::string_view::npos || sentence.size() != star + 5) {
        return std::nullopt;
    }
    unsigned sent = 0;
    const char* digits = sentence.data() + star + 1;
    const auto [end, ec] = std::from_chars(digits, digits + 4, sent, 16);
    const auto body = sentence.substr(0, star);
    if (ec != std::errc() || end != digits + 4 || sent != host_platform::crc16_arc(body)) {
        return std::nullopt;
    }
    return body;
}

// The comma-separated numbers after "$CMD"; nullopt when any of them is not a number.
std::optional<std::vector<long long>> numbers(std::string_view body) {
    constexpr std::string_view kPrefix = "$CMD,";
    if (body.substr(0, kPrefix.size()) != kPrefix) {
        return std::nullopt;
    }
    std::vector<long long> values;
    std::string_view rest = body.substr(kPrefix.size());
    while (true) {
        const auto comma = rest.find(',');
        const auto field = rest.substr(0, comma);
        long long v = 0;
        const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), v);
        if (field.empty() || ec != std::errc() || end != field.data() + field.size()) {
            return std::nullopt;
        }
        values.push_back(v);
        if (comma == std::string_view::npos) {
            return values;
        }
        rest = rest.substr(comma + 1);
    }
}

// A running measurement finishes once its time has passed; a low supply stops the sensor.
void update(const SensorState& state, EtiMachine& machine, TimePoint now) {
    if (supply_mv(state, sample_counter(state, now)) < kLowSupplyMv) {
        machine.state = kEtiNotReady;
        return;
    }
    if (machine.state == kEtiNotReady) {
        machine.state = kEtiReady;
    }
    if (machine.state == kEtiMeasuring && now - machine.measuring_since >= kEtiMeasurementTime) {
        machine.result = current_measurement(state, now);
        machine.state = kEtiResultReady;
    }
}

void take_platform_values(SensorState& state, TimePoint now, const std::vector<long long>& v) {
    PlatformReport r;
    r.time = static_cast<std::uint32_t>(sensor_seconds(state, now));
    r.salinity = static_cast<float>(static_cast<double>(v[1]) / 100);
    r.temperature = static_cast<float>(static_cast<double>(v[2]) / 1000);
    r.depth = static_cast<float>(static_cast<double>(v[3]) / 10);
    r.p1 = static_cast<std::int32_t>(v[4]);
    r.p2 = static_cast<std::int32_t>(v[5]);
    r.p3 = static_cast<std::int32_t>(v[6]);
    state.platform_report = r;
}

std::string format(const char* pattern, auto... values) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

}  // namespace

std::optional<std::string> answer_eti_sentence(SensorState& state, EtiMachine& machine,
                                               TimePoint now, std::string_view sentence) {
    const auto body = checked_body(sentence);
    const auto v = body ? numbers(*body) : std::nullopt;
    if (!v) {
        return std::nullopt;
    }
    update(state, machine, now);
    const long long command = (*v)[0];
    if (command == 0 && v->size() == 1) {
        const auto sample = sensor_sample(state, now);
        return host_platform::eti_sentence(
            format("$CMD,0,%u,%u,%d", unsigned{machine.state},
                   static_cast<unsigned>(std::max(0, sample.voltage_mv / 100)),
                   sample.temperature_mc / 100));
    }
    if (command == 2 && v->size() == 2) {
        set_sensor_seconds(state, now, (*v)[1]);
        return host_platform::eti_sentence(format("$CMD,2,%lld", sensor_seconds(state, now)));
    }
    if (command == 1 && (v->size() == 1 || v->size() == 7)) {
        if (v->size() == 7) {
            take_platform_values(state, now, *v);
        }
        if (machine.state == kEtiReady) {
            machine.state = kEtiMeasuring;
            machine.measuring_since = now;
            machine.result.reset();
        }
        return host_platform::eti_sentence(format("$CMD,1,%u", unsigned{machine.state}));
    }
    if (command == 3 && v->size() == 1) {
        const Measurement m = machine.result.value_or(current_measurement(state, now));
        if (machine.state == kEtiResultReady) {
            machine.state = kEtiReady;
            machine.result.reset();
        }
        return host_platform::eti_sentence(format("$CMD,3,%u,%u,%d", m.time,
                                                  static_cast<unsigned>(std::max(0, m.value_milli)),
                                                  m.temperature_mc));
    }
    return std::nullopt;
}

}  // namespace kelpira::virtual_sensor
