// What kelpira-virtual-sensor serves: the folder, and one set of options per device.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "virtual_sensor/fault_injection.hpp"
#include "virtual_sensor/virtual_sensor_options.hpp"

namespace kelpira::virtual_sensor {

struct ScriptedFault {
    std::uint16_t code = 0;
    Fault fault;
};

struct ServedSensorOptions {
    VirtualSensorOptions sensor;
    std::vector<ScriptedFault> faults;  // every command with the code meets the fault
};

struct ServerOptions {
    std::optional<std::string> folder;             // nullopt: the default device folder
    std::chrono::milliseconds restart_delay{500};  // away between bootloader and firmware
    double time_scale = 1.0;  // simulated seconds per real second of every sensor's clock
    std::vector<ServedSensorOptions> devices;  // at least one
};

}  // namespace kelpira::virtual_sensor
