// WRITE_FIRMWARE_BLOCK on the emulated sensor: a bootloader takes a firmware image at 0xA000,
// running firmware takes a bootloader image at 0; the closing block restarts the sensor.
#pragma once

#include <span>

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

std::span<const CommandEntry> firmware_upgrade_commands();

}  // namespace kelpira::virtual_sensor
