// The command line of kelpira-virtual-sensor: the folder, and one set of options per device.
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
    bool help = false;
};

struct ParsedServerOptions {
    std::optional<ServerOptions> options;
    std::string error;  // why the command line was refused, when options is nullopt
};

// `args` without the program name. "--device" starts the options of another device; device
// k (from 0) has the serial numbers 1001 + k and 201 + k unless given (the processing board's
// FLASH keeps one byte of its serial number).
ParsedServerOptions parse_server_options(const std::vector<std::string>& args);

// The text --help prints.
std::string server_usage();

}  // namespace kelpira::virtual_sensor
