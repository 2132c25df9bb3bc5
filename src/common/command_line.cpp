// Reading the options of a command line against a program's table.
#include "common/command_line.hpp"

#include <algorithm>

#include "common/version.hpp"

namespace kelpira::common {

namespace {

const OptionSpec* find_option(std::span<const OptionSpec> table, std::string_view name) {
    const auto it = std::find_if(table.begin(), table.end(),
                                 [&](const OptionSpec& o) { return o.name == name; });
    return it == table.end() ? nullptr : &*it;
}

}  // namespace

bool ParsedArgs::has(std::string_view name) const {
    return std::any_of(args.begin(), args.end(), [&](const ParsedArg& a) { return a.is(name); });
}

ParsedArgs parse_args(std::span<const std::string_view> args, std::span<const OptionSpec> table,
                      ArgRules rules) {
    ParsedArgs out;
    bool only_operands = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (only_operands || arg == "-" || !arg.starts_with('-')) {
            out.args.push_back({nullptr, std::string(arg)});
            only_operands = only_operands || rules.options_end_at_operand;
            continue;
        }
        if (arg == "--") {
            only_operands = true;
            continue;
        }
        // Only a long option carries its value after "=": "-o=x" names the option "-o=x".
        const auto eq = arg.starts_with("--") ? arg.find('=') : std::string_view::npos;
        const std::string_view name = arg.substr(0, eq);
        const OptionSpec* option = find_option(table, name);
        if (option == nullptr) {
            if (rules.unknown_is_operand) {
                out.args.push_back({nullptr, std::string(arg)});
                continue;
            }
            out.error = "unknown option " + std::string(name);
            return out;
        }
        if (!option->takes_value) {
            if (eq != std::string_view::npos) {
                out.error = std::string(name) + " takes no value";
                return out;
            }
            out.args.push_back({option, {}});
            continue;
        }
        if (eq != std::string_view::npos) {
            out.args.push_back({option, std::string(arg.substr(eq + 1))});
        } else if (i + 1 < args.size()) {
            // The next argument is the value whatever it looks like: "--output -", "--ph -1".
            out.args.push_back({option, std::string(args[++i])});
        } else {
            out.error = std::string(name) + " needs a value";
            return out;
        }
    }
    return out;
}

ParsedArgs parse_args(const std::vector<std::string>& args, std::span<const OptionSpec> table,
                      ArgRules rules) {
    const std::vector<std::string_view> views(args.begin(), args.end());
    return parse_args(views, table, rules);
}

std::string version_line(std::string_view program) {
    return std::string(program) + " " + std::string(kProgramVersion) + "\n";
}

std::string usage_error_text(std::string_view program, std::string_view error,
                             std::string_view usage) {
    return std::string(program) + ": " + std::string(error) + "\n" + std::string(usage);
}

}  // namespace kelpira::common
