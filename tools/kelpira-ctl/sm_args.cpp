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

}  // namespace

SmArgs parse_sm_args(const std::vector<std::string>& args) {
    SmArgs out;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        if (a == "-o" || a == "--dry-run" || a == "--pump-timeout" || a == "--format") {
            if (!has_value) {
                throw UsageError(a + " needs a value");
            }
            const std::string& v = args[++i];
            if (a == "-o") {
                out.output = v;
            } else if (a == "--dry-run") {
                out.dry_run = state_number(a, v);
            } else if (a == "--pump-timeout") {
                out.pump_timeout = state_number(a, v);
            } else if (v == "asm" || v == "dat" || v == "json") {
                out.format = v == "asm"   ? FileLayout::current
                             : v == "dat" ? FileLayout::legacy
                                          : FileLayout::json;
            } else {
                throw UsageError("--format takes asm, dat or json, not \"" + v + "\"");
            }
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError("unknown option " + a);
        } else {
            out.operands.push_back(a);
        }
    }
    return out;
}

}  // namespace kelpira::ctl
