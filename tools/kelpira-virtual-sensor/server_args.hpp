// The command line of kelpira-virtual-sensor.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "virtual_sensor/server_options.hpp"

namespace kelpira::virtual_sensor {

inline constexpr std::string_view kProgram = "kelpira-virtual-sensor";

inline constexpr std::string_view kServerUsage =
    "usage: kelpira-virtual-sensor [--folder DIR] [--restart-delay MS] [--time-scale N]\n"
    "                              [DEVICE OPTIONS] [--device DEVICE OPTIONS]...\n"
    "       kelpira-virtual-sensor --help | --version\n";

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
