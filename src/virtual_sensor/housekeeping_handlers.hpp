// Housekeeping commands of the emulated sensor: the indicator LED and the drive mode.
#pragma once

#include <span>

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

std::span<const CommandEntry> housekeeping_commands();

}  // namespace kelpira::virtual_sensor
