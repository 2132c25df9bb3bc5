// The identity reads of the Connect view's probe and of the views that show the firmware
// version, through the identity command wrappers.
#pragma once

#include <optional>
#include <string>

#include "link/identity_records.hpp"
#include "link/sensor_link.hpp"

namespace kelpira::link {

struct ProbedSensor {
    std::string name;  // the identification name cut to 20 characters
    SensorIdentification identification;
    DeviceInfo info;
};

// GET_SENSOR_IDENTIFICATION, once more if it fails, then GET_DEVICE_INFO likewise. No value
// when both attempts of either read failed: the device is listed as "Unknown device".
std::optional<ProbedSensor> probe_sensor(SensorLink& link);

// The firmware version text, or no value when GET_FIRMWARE_VERSION fails.
std::optional<std::string> read_firmware_version_text(SensorLink& link);

}  // namespace kelpira::link
