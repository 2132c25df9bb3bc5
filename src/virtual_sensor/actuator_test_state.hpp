// What the emulated sensor keeps of the live actuator tests: the valves energised, the pump
// run under way and the LEDs lit by the optics test.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>

#include "records/optics_records.hpp"
#include "records/pump_valve_defaults.hpp"

namespace kelpira::virtual_sensor {

struct ValvesTestState {
    bool running = false;
    std::uint16_t mask = 0;  // bit i: valve i energised
    std::uint16_t spike_ms = 0;
};

struct PumpTestState {
    bool started = false;  // a run was started and not stopped; it may have ended by itself
    std::chrono::system_clock::time_point since;
    records::PumpValveDefaults settings;
    bool continuously = false;  // restarts in the other direction at the end of each stroke
};

struct OpticsTestState {
    bool running = false;
    records::OpticsDefaults optics;  // the LED currents and photodiode supply of the test
};

struct ActuatorTests {
    ValvesTestState valves;
    PumpTestState pump;
    OpticsTestState optics;
};

}  // namespace kelpira::virtual_sensor
