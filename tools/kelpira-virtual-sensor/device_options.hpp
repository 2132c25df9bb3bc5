// The options of one served device: each declared once, with what it sets in the device.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "common/cli_app.hpp"
#include "virtual_sensor/server_options.hpp"

namespace kelpira::virtual_sensor_program {

struct DeviceOption {
    std::string name;  // "--name"
    std::string type;  // "TEXT"; empty: a flag
    std::string help;
    std::optional<CLI::Validator> range;
    // Sets the option's `k`-th value (counted from 0 over the command line) in `device`.
    void (*apply)(virtual_sensor::ServedSensorOptions& device, const CLI::Option& option,
                  std::size_t k);
};

// Every device option, in the order the help lists them.
const std::vector<DeviceOption>& device_options();

// Device k's defaults (from 0): the serial numbers 1001 + k and 201 + k.
virtual_sensor::ServedSensorOptions device_defaults(std::size_t k);

}  // namespace kelpira::virtual_sensor_program
