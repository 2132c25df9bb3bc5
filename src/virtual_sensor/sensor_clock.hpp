// The emulated sensor's real-time clock: the host clock plus whatever offset the PC set.
#pragma once

#include <cstdint>
#include <span>

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

std::span<const CommandEntry> sensor_clock_commands();

// The sensor's clock in seconds since 1970, read as UTC: the whole seconds it shows, and the
// exact time it keeps.
std::int64_t sensor_seconds(const SensorState& state, TimePoint now);
double sensor_exact_seconds(const SensorState& state, TimePoint now);

// Sets the clock to `seconds` at `now`: its drift counts from then.
void set_sensor_clock(SensorState& state, TimePoint now, std::int64_t seconds);

}  // namespace kelpira::virtual_sensor
