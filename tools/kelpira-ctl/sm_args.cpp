// Reading the arguments of kelpira-ctl sm.
#include "sm_args.hpp"

#include <charconv>

#include "ctl_command.hpp"

namespace kelpira::ctl {

namespace {

using statemachine::FileLayout;

std::uint32_t state_number(const std::string& option, const std::string& text) {
    std::uint32_t value = 0;
    const auto end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc{} || ptr != end) {
        throw UsageError(option + " takes a state number, not \"" + text + "\"");
    }
    return value;
}

constexpr common::OptionSpec kSmOptions[] = {{"-o", true},
                                             {"--dry-run", true},
                                             {"--pump-timeout", true},
                                             {"--format", true},
                                             {"--allow-loss"}};

}  // namespace

SmArgs parse_sm_args(const std::vector<std::string>& args) {
    SmArgs out;
    const std::vector<std::string> after_sub_command(args.begin() + (args.empty() ? 0 : 1),
                                                     args.end());
    for (const auto& arg : command_args(after_sub_command, kSmOptions)) {
        const std::string& v = arg.value;
        if (arg.option == nullptr) {
            out.operands.push_back(v);
        } else if (arg.is("-o")) {
            out.output = v;
        } else if (arg.is("--dry-run")) {
            out.dry_run = state_number("--dry-run", v);
        } else if (arg.is("--pump-timeout")) {
            out.pump_timeout = state_number("--pump-timeout", v);
        } else if (arg.is("--allow-loss")) {
            out.allow_loss = true;
        } else if (v == "asm" || v == "dat" || v == "json") {
            out.format = v == "asm"   ? FileLayout::current
                         : v == "dat" ? FileLayout::legacy
                                      : FileLayout::json;
        } else {
            throw UsageError("--format takes asm, dat or json, not \"" + v + "\"");
        }
    }
    return out;
}

}  // namespace kelpira::ctl
