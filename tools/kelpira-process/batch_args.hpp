// The command line of kelpira-process: reading the options into a run, and the whole program.
#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "processing/batch_options.hpp"

namespace kelpira::processing {

// "auto", "nutrient", "ph", "ta", "dic" (the names the command line takes).
std::string_view chemistry_choice_name(ChemistryChoice c);

// The outcome of reading the command line: options to run, a request for help, or the
// reason the command line is wrong.
struct ParsedCommandLine {
    std::optional<BatchOptions> options;
    bool help = false;
    bool version = false;
    std::string error;  // set when the command line is not usable
};

inline constexpr std::string_view kUsage =
    "usage: kelpira-process [--chemistry auto|nutrient|ph|ta|dic] [--set KEY=VALUE]...\n"
    "                       [--format csv|netcdf] [--attr NAME=VALUE]...\n"
    "                       [--output FILE] [--log FILE] [--clock-log FILE] [--progress]\n"
    "                       [--jobs N] FILE...\n"
    "       kelpira-process --help | --version\n";

// The help text: usage and what each option does.
std::string help_text();

// Reads the arguments after the program name.
ParsedCommandLine parse_command_line(std::span<const std::string_view> args);

// The whole program: reads the arguments after the program name, prints the help, the
// version or the usage error, or runs the batch. A raw file "-" is `standard_input`.
// Returns the exit status.
int run_command_line(std::span<const std::string_view> args, std::istream& standard_input,
                     std::ostream& standard_output, std::ostream& standard_error);

}  // namespace kelpira::processing
