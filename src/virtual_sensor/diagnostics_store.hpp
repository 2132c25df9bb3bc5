// The emulated sensor's diagnostics log, restart log and task table.
#pragma once

#include <span>

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

// OPEN_DIAGNOSTICS, READ_DIAGNOSTICS, CLEAR_DIAGNOSTICS, GET_RESTART_LOG_ENTRY,
// GET_TASK_DETAILS and SET_TASK_FLAGS.
std::span<const CommandEntry> diagnostics_store_commands();

}  // namespace kelpira::virtual_sensor
