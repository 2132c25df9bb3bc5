// Results a sensor has stored before it is served, so that a platform has something to
// download from the start.
#pragma once

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

// One result every ten minutes up to `now`, oldest first, of the water the model holds,
// taken on a glider diving to 95 m and climbing back; every seventh is marked bad.
void add_stored_results(SensorState& state, unsigned count, TimePoint now);

}  // namespace kelpira::virtual_sensor
