// The emulated sensor's store of processed results: one OutputRecord per measurement cycle,
// read by the PC through an output stream.
#pragma once

#include <span>

#include "app/output_record.hpp"
#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

// The store keeps this many records; the oldest goes first.
inline constexpr std::size_t kOutputCapacity = 5000;

void store_output(SensorState& state, const app::OutputRecord& record);

std::span<const CommandEntry> output_store_commands();

}  // namespace kelpira::virtual_sensor
