// The emulated sensor's factory stores: the processing board's FRAM (an older copy of the
// board serial number and the pump stroke meter) and the driver board's NVRAM, which only the
// board variants 3 and 6 carry. Both are the firmware's; the bootloader knows neither.
#pragma once

#include <span>

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

std::span<const CommandEntry> factory_store_commands();

// What the stores hold when the sensor leaves the factory: the FRAM copy of the board serial
// number (its low 8 bits, all the FRAM keeps), some pump strokes, a driver board number.
void fill_factory_defaults(SensorState& state);

}  // namespace kelpira::virtual_sensor
