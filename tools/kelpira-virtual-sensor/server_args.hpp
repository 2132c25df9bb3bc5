// The command line of kelpira-virtual-sensor: the server's options, then each device's.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/cli_app.hpp"
#include "virtual_sensor/server_options.hpp"

namespace kelpira::virtual_sensor_program {

inline constexpr std::string_view kProgram = "kelpira-virtual-sensor";

struct ParsedServerOptions {
    std::optional<virtual_sensor::ServerOptions> options;  // nothing: the program ends here
    common::CommandLineOutcome outcome;
};

// `args` without the program name. "--device" starts the options of another device; device
// k (from 0) has the serial numbers 1001 + k and 201 + k unless given (the processing board's
// FLASH keeps one byte of its serial number).
ParsedServerOptions parse_server_options(const std::vector<std::string>& args);

}  // namespace kelpira::virtual_sensor_program
