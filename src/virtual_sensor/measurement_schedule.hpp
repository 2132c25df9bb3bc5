// The emulated sensor's answer to when it measures next, from its measurement schedule.
#pragma once

#include <span>

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

std::span<const CommandEntry> measurement_schedule_commands();

}  // namespace kelpira::virtual_sensor
