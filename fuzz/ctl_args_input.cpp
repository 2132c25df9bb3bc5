// kelpira-ctl's command line, read without running the command: nothing touches a sensor
// or a file.
#include "ctl_command.hpp"
#include "fuzz_args.hpp"
#include "fuzz_inputs.hpp"
#include "invocation.hpp"
#include "sm_args.hpp"
#include "watch_args.hpp"

namespace kelpira::fuzz {

int ctl_args_input(const std::uint8_t* data, std::size_t size) {
    const auto parsed = ctl::parse_invocation(split_args(data, size), false);
    if (parsed.outcome != ctl::ParsedInvocation::Outcome::run) {
        return 0;
    }
    const auto& args = parsed.invocation.args;
    try {
        if (parsed.command->name == "sm" && !args.empty()) {
            (void)ctl::parse_sm_args(args);
        } else if (parsed.command->name == "watch") {
            (void)ctl::parse_watch_args(args);
        }
    } catch (const ctl::UsageError&) {
        // A wrong command line is told to the user, as the program does.
    }
    return 0;
}

}  // namespace kelpira::fuzz
