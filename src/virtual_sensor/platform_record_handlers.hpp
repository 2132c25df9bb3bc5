// The emulated sensor's platform defaults, RS232 and RS485 records, kept as last written.
#pragma once

#include <span>

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

std::span<const CommandEntry> platform_record_commands();

// The factory records, with the RS232 protocol of the options.
void fill_platform_records(SensorState& state);

}  // namespace kelpira::virtual_sensor
