// The emulated sensor's state-machine program commands: GET_STATE_MACHINE_INFO,
// GET_STATE_RECORD and SET_STATE_RECORD.
#pragma once

#include <span>

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

std::span<const CommandEntry> state_machine_commands();

}  // namespace kelpira::virtual_sensor
