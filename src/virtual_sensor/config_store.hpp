// The emulated sensor's configuration store: every configuration block of the catalogue,
// read with its even code and written with the next odd code, kept as the record last
// written, plus the processing parameters per chemistry and the three thermistors.
#pragma once

#include <span>

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

std::span<const CommandEntry> config_store_commands();

// Fills the store with what a sensor leaves the factory with: the chemistry of the options
// with default start states and processing parameters, default thermistors, a measurement
// schedule of the newest layout, the factory optics, PMT, DIC and pump defaults, and zeros in
// the blocks without meaningful defaults.
void fill_config_defaults(SensorState& state);

}  // namespace kelpira::virtual_sensor
