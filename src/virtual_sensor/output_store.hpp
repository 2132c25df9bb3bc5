// The emulated sensor's store of processed results.
#pragma once

#include <span>

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

// A read with nothing left to give.
inline constexpr link::CommandResult kResultNoMoreData = 3;

// OPEN_OUTPUT_STREAM, READ_OUTPUT_RECORD and CLEAR_OUTPUTS.
std::span<const CommandEntry> output_store_commands();

}  // namespace kelpira::virtual_sensor
