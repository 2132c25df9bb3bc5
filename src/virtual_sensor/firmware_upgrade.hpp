// WRITE_FIRMWARE_BLOCK on the emulated sensor: a bootloader takes a firmware image at 0xA000,
// running firmware takes a bootloader image at 0; the closing block restarts the sensor.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

std::span<const CommandEntry> firmware_upgrade_commands();

// The first firmware version text of the known grammar ("KELPIRA_2_7_20") found in an
// image: the run of letters, digits and underscores from "KELPIRA_", at most 25 characters.
std::optional<std::string> version_text_in(std::span<const std::uint8_t> image);

}  // namespace kelpira::virtual_sensor
