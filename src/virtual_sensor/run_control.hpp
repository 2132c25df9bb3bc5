// Starting and stopping the emulated sensor's state machine.
#pragma once

#include <span>

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

std::span<const CommandEntry> run_control_commands();

}  // namespace kelpira::virtual_sensor
