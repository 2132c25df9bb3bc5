// Starting and stopping the emulated sensor's state machine.
#pragma once

#include <span>

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

std::span<const CommandEntry> run_control_commands();

// At power-up the sensor starts its program at the automatic deployment start state, when
// one is set, the program has it and the supply allows.
void start_at_power_up(SensorState& state, TimePoint now);

}  // namespace kelpira::virtual_sensor
