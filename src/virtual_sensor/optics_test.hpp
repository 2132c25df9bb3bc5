// The emulated sensor's live optics test: the newer form 626, the older form 370, and stop.
#pragma once

#include <span>

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

std::span<const CommandEntry> optics_test_commands();

}  // namespace kelpira::virtual_sensor
