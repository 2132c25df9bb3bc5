// Reading kelpira-ctl's global options and finding the command.
#include "invocation.hpp"

#include "common/command_line.hpp"

namespace kelpira::ctl {

namespace {

constexpr common::OptionSpec kOptions[] = {
    {"--device", true}, {"--progress"}, {"--start-firmware"}, {"--help"}, {"--version"},
};

ParsedInvocation outcome(ParsedInvocation::Outcome o, std::string error = {}) {
    ParsedInvocation p;
    p.outcome = o;
    p.error = std::move(error);
    return p;
}

}  // namespace

ParsedInvocation parse_invocation(const std::vector<std::string>& args, bool progress) {
    using Outcome = ParsedInvocation::Outcome;
    // The command's own arguments, options among them, are read by the command.
    const common::ParsedArgs parsed =
        common::parse_args(args, kOptions, {.options_end_at_operand = true});
    if (parsed.has("--help")) {
        return outcome(Outcome::help);
    }
    if (parsed.has("--version")) {
        return outcome(Outcome::version);
    }
    if (!parsed.error.empty()) {
        return outcome(Outcome::usage_error, parsed.error);
    }
    Invocation inv;
    inv.progress = progress;
    const CommandSpec* spec = nullptr;
    for (const auto& arg : parsed.args) {
        if (arg.is("--progress")) {
            inv.progress = true;
        } else if (arg.is("--start-firmware")) {
            inv.start_firmware = true;
        } else if (arg.is("--device")) {
            inv.device = arg.value;
        } else if (spec != nullptr) {
            inv.args.push_back(arg.value);
        } else {
            for (const auto& c : commands()) {
                if (c.name == arg.value) {
                    spec = &c;
                }
            }
            if (spec == nullptr) {
                return outcome(Outcome::usage_error, "unknown command " + arg.value);
            }
        }
    }
    if (spec == nullptr) {
        return outcome(Outcome::usage_error, "no command given");
    }
    ParsedInvocation p = outcome(Outcome::run);
    p.invocation = std::move(inv);
    p.command = spec;
    return p;
}

}  // namespace kelpira::ctl
