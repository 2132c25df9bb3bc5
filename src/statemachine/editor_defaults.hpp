// The values a new state takes, read from the sensor's optics and pump/valve defaults when the
// editor opens on a connected sensor.
#pragma once

#include "link/sensor_link.hpp"
#include "statemachine/state_machine_image.hpp"

namespace kelpira::statemachine {

// Reads GET_OPTICS_DEFAULTS then GET_PUMP_VALVE_DEFAULTS into `defaults`; each record that
// cannot be read leaves its fields as they were. True when both were read.
bool read_state_defaults(link::SensorLink& link, StateDefaults& defaults);

}  // namespace kelpira::statemachine
