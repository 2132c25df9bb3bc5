// kelpira-ctl's command line before the command runs: the global options and the command.
#pragma once

#include <string>
#include <vector>

#include "ctl_command.hpp"

namespace kelpira::ctl {

struct ParsedInvocation {
    enum class Outcome { run, help, version, usage_error };
    Outcome outcome = Outcome::usage_error;
    Invocation invocation;                 // the command's arguments and the global options
    const CommandSpec* command = nullptr;  // for run
    std::string error;                     // for usage_error
};

// Reads the arguments after the program name; `progress` is the default of --progress.
ParsedInvocation parse_invocation(const std::vector<std::string>& args, bool progress);

}  // namespace kelpira::ctl
