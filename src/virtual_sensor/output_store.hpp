// The emulated sensor's store of processed results and the size of its loaded program.
#pragma once

#include <span>

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

// A read with nothing left to give.
inline constexpr link::CommandResult kResultNoMoreData = 3;

// OPEN_OUTPUT_STREAM, READ_OUTPUT_RECORD, CLEAR_OUTPUTS and GET_STATE_MACHINE_INFO.
std::span<const CommandEntry> output_store_commands();

}  // namespace kelpira::virtual_sensor
