// The emulated sensor's valves and pump tests: valves energised until stopped, and pump runs
// that end by themselves (or run on, stroke after stroke, while pumping continuously).
#pragma once

#include <chrono>
#include <optional>
#include <span>

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

std::span<const CommandEntry> actuator_test_commands();

// How long one stroke of the pump lasts with these settings; none when nothing ends it (Hall
// sensors unpowered and no time-out).
std::optional<std::chrono::milliseconds> stroke_time(const records::PumpValveDefaults& p);

// True while the pump of a started run still turns at `now`.
bool pump_turning(const PumpTestState& pump, TimePoint now);

}  // namespace kelpira::virtual_sensor
