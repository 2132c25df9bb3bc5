// The command line of kelpira-process: its options declared once with CLI11, read into a run,
// and the whole program.
#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <span>
#include <string_view>

#include "common/cli_app.hpp"
#include "processing/batch_options.hpp"

namespace kelpira::process {

inline constexpr std::string_view kProgram = "kelpira-process";

// The outcome of reading the command line: options to run, or what the program prints before
// it ends (the help, the version, a usage error).
struct ParsedCommandLine {
    std::optional<processing::BatchOptions> options;
    common::CommandLineOutcome outcome;
};

// Reads the arguments after the program name.
ParsedCommandLine parse_command_line(std::span<const std::string_view> args);

// The whole program: reads the arguments after the program name, prints the help, the
// version or the usage error, or runs the batch. A raw file "-" is `standard_input`.
// Returns the exit status.
int run_command_line(std::span<const std::string_view> args, std::istream& standard_input,
                     std::ostream& standard_output, std::ostream& standard_error);

}  // namespace kelpira::process
