// The command line of kelpira-virtual-sensor.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "virtual_sensor/server_options.hpp"

namespace kelpira::virtual_sensor {

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
