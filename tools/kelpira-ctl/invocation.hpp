// kelpira-ctl's command line: the global options, then the command as a CLI11 subcommand.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ctl_command.hpp"

namespace kelpira::ctl {

struct ParsedInvocation {
    std::unique_ptr<CLI::App> app;  // what `run` reads its arguments from
    Invocation invocation;
    Run run;                             // empty: the program ends with `outcome`
    common::CommandLineOutcome outcome;  // the help, the version or the usage error
};

// Reads the arguments after the program name; `progress` is the default of --progress.
ParsedInvocation parse_invocation(const std::vector<std::string>& args, bool progress);

}  // namespace kelpira::ctl
