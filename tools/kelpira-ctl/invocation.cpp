// Reading kelpira-ctl's global options and finding the command.
#include "invocation.hpp"

namespace kelpira::ctl {

namespace {

ParsedInvocation outcome(ParsedInvocation::Outcome o, std::string error = {}) {
    ParsedInvocation p;
    p.outcome = o;
    p.error = std::move(error);
    return p;
}

}  // namespace

ParsedInvocation parse_invocation(const std::vector<std::string>& args, bool progress) {
    using Outcome = ParsedInvocation::Outcome;
    Invocation inv;
    inv.progress = progress;
    std::size_t i = 0;
    for (; i < args.size() && args[i].starts_with("-"); ++i) {
        if (args[i] == "--help") {
            return outcome(Outcome::help);
        }
        if (args[i] == "--version") {
            return outcome(Outcome::version);
        }
        if (args[i] == "--progress") {
            inv.progress = true;
        } else if (args[i] == "--start-firmware") {
            inv.start_firmware = true;
        } else if (args[i] == "--device" && i + 1 < args.size()) {
            inv.device = args[++i];
        } else {
            return outcome(Outcome::usage_error, "unknown option " + args[i]);
        }
    }
    if (i == args.size()) {
        return outcome(Outcome::usage_error, "no command given");
    }
    const CommandSpec* spec = nullptr;
    for (const auto& c : commands()) {
        if (c.name == args[i]) {
            spec = &c;
        }
    }
    if (spec == nullptr) {
        return outcome(Outcome::usage_error, "unknown command " + args[i]);
    }
    inv.args.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    ParsedInvocation p = outcome(Outcome::run);
    p.invocation = std::move(inv);
    p.command = spec;
    return p;
}

}  // namespace kelpira::ctl
