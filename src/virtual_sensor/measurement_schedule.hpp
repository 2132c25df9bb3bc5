// The emulated sensor's answer to when it measures next, from its measurement schedule.
#pragma once

#include <cstdint>
#include <span>

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

std::span<const CommandEntry> measurement_schedule_commands();

// The first schedule time not before `now` (sensor seconds since 1970).
std::int64_t next_measurement(const SensorState& state, std::int64_t now);

}  // namespace kelpira::virtual_sensor
