// Identity and bootloader commands of the emulated sensor: identification, device info,
// firmware version, the legacy identity record, and the start of the firmware.
#pragma once

#include <array>
#include <span>

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

std::span<const CommandEntry> identity_commands();

// The identification record a sensor leaves the factory with.
std::array<std::uint8_t, link::SensorIdentification::size> initial_identification(
    const VirtualSensorOptions& options);

}  // namespace kelpira::virtual_sensor
