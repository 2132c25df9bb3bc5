// Live status of the emulated sensor: the live sample, power status, platform state and
// output file name, all computed from the time elapsed since the sensor started.
#pragma once

#include <cstdint>
#include <span>

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

// Below this supply the sensor reports its mode without a sample and refuses to run.
inline constexpr std::int32_t kLowSupplyMv = 9000;

std::span<const CommandEntry> live_status_commands();

// The sample counter: whole seconds since the sensor started (0 before that).
std::uint32_t sample_counter(const SensorState& state, TimePoint now);

// The supply voltage the sensor measures at a sample count, in millivolts.
std::int32_t supply_mv(const SensorState& state, std::uint32_t counter);

// What the sensor's inputs read at `now` when no program drives them: channels, temperature,
// supply, Hall sensors and the host platform's values, with state 0 and the seconds counter.
records::LiveSample sensor_sample(const SensorState& state, TimePoint now);

}  // namespace kelpira::virtual_sensor
