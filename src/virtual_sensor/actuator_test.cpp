// The emulated sensor's valves and pump tests. A stroke ends at its stop condition: the
// time-out, the step count at the step period, or the Hall sensor of its direction, which a
// stroke reaches after kHallStroke unless the Hall time-out comes first.
#include "virtual_sensor/actuator_test.hpp"

#include <algorithm>
#include <array>

#include "common/bytes.hpp"
#include "link/command_catalogue.hpp"

namespace kelpira::virtual_sensor {

namespace {

using link::CommandCode;
using std::chrono::milliseconds;

constexpr milliseconds kHallStroke{20000};  // a full stroke from one Hall sensor to the other

bool length_is(Exchange& x, CommandCode code) {
    if (x.request_length != link::request_length(code)) {
        x.result = link::kResultBadLength;
        return false;
    }
    return true;
}

void start_valves_test(Exchange& x) {
    if (!length_is(x, CommandCode::START_VALVES_TEST)) {
        return;
    }
    common::ByteReader r(x.request);
    auto& v = x.state.tests.valves;
    v.running = true;
    v.mask = r.u16();
    v.spike_ms = r.u16();
}

void stop_valves_test(Exchange& x) {
    x.state.tests.valves = ValvesTestState{};
}

void start_pump_test(Exchange& x) {
    if (!length_is(x, CommandCode::START_PUMP_TEST)) {
        return;
    }
    auto& p = x.state.tests.pump;
    p.started = true;
    p.since = x.now;
    p.settings = records::decode_pump_valve_defaults(x.request);
    p.continuously = x.request[records::PumpValveDefaults::size] != 0;
}

void stop_pump_test(Exchange& x) {
    x.state.tests.pump = PumpTestState{};
}

// Byte 1: 1 while the pump turns; byte 2: the direction of the stroke under way (1 withdraw).
// Both 0 once the run is over.
void get_pump_test_status(Exchange& x) {
    const auto& p = x.state.tests.pump;
    if (pump_turning(p, x.now)) {
        std::uint8_t direction = p.settings.direction;
        if (const auto stroke = stroke_time(p.settings); p.continuously && stroke) {
            const auto strokes = (x.now - p.since) / std::max(*stroke, milliseconds(1));
            direction = static_cast<std::uint8_t>((direction + strokes) % 2);
        }
        x.response[1] = 1;
        x.response[2] = direction;
    }
    x.response_length = 3;
}

constexpr std::array kCommands{
    CommandEntry{link::code_value(CommandCode::START_PUMP_TEST), start_pump_test},
    CommandEntry{link::code_value(CommandCode::STOP_PUMP_TEST), stop_pump_test},
    CommandEntry{link::code_value(CommandCode::GET_PUMP_TEST_STATUS), get_pump_test_status},
    CommandEntry{link::code_value(CommandCode::START_VALVES_TEST), start_valves_test},
    CommandEntry{link::code_value(CommandCode::STOP_VALVES_TEST), stop_valves_test},
};

}  // namespace

std::span<const CommandEntry> actuator_test_commands() {
    return kCommands;
}

std::optional<milliseconds> stroke_time(const records::PumpValveDefaults& p) {
    const auto timeout =
        p.timeout_s > 0 ? std::optional(milliseconds(p.timeout_s) * 1000) : std::nullopt;
    switch (p.stop_condition) {
        case records::kStopStepCount:
            return milliseconds(std::uint64_t{p.step_count} * p.step_period_us / 1000);
        case records::kStopHallSensors:
            if (p.hall_power == 0) {
                return timeout;  // no Hall sensor can stop it
            }
            return timeout ? std::min(*timeout, kHallStroke) : kHallStroke;
        default:
            return timeout.value_or(milliseconds(0));
    }
}

bool pump_turning(const PumpTestState& pump, TimePoint now) {
    if (!pump.started) {
        return false;
    }
    const auto stroke = stroke_time(pump.settings);
    return pump.continuously || !stroke || now - pump.since < *stroke;
}

}  // namespace kelpira::virtual_sensor
