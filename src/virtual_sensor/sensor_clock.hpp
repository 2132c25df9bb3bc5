// The emulated sensor's real-time clock: the host clock plus whatever offset the PC set.
#pragma once

#include <span>

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

std::span<const CommandEntry> sensor_clock_commands();

}  // namespace kelpira::virtual_sensor
