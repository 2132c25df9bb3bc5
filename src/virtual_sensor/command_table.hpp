// The emulated sensor's dispatch table: every command it knows, by code.
#pragma once

#include <cstdint>

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

// The entry of a code, or nullptr for a code the sensor does not know.
const CommandEntry* find_command(std::uint16_t code);

}  // namespace kelpira::virtual_sensor
