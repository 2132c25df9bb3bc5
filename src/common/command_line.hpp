// One option parser for the command-line programs. A program lists its options in a table;
// each takes its value as "--opt value" or "--opt=value", and the usage errors are worded the
// same in every program ("--jobs needs a value"). The program gives the options their meaning,
// in command-line order, so an option may depend on the ones before it.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kelpira::common {

struct OptionSpec {
    std::string_view name;  // "--jobs", "-o"
    bool takes_value = false;
};

// One argument as read: an option of the table with its value, or an operand.
struct ParsedArg {
    const OptionSpec* option = nullptr;  // nullptr: an operand
    std::string value;                   // the option's value, or the operand itself

    bool is(std::string_view name) const { return option != nullptr && option->name == name; }
};

struct ArgRules {
    // The first operand and everything after it are operands: a command and its arguments.
    bool options_end_at_operand = false;
    // An option the table does not name is an operand, left for another reader (Qt's own).
    bool unknown_is_operand = false;
};

struct ParsedArgs {
    // In command-line order; with an error, those read before it. "--" is not kept: every
    // argument after it is an operand, and so is "-".
    std::vector<ParsedArg> args;
    std::string error;  // "unknown option --x", "--x needs a value", "--x takes no value"

    bool has(std::string_view name) const;
};

ParsedArgs parse_args(std::span<const std::string_view> args, std::span<const OptionSpec> table,
                      ArgRules rules = {});
ParsedArgs parse_args(const std::vector<std::string>& args, std::span<const OptionSpec> table,
                      ArgRules rules = {});

// What --version prints: "PROGRAM VERSION" and a line break.
std::string version_line(std::string_view program);

// What a usage error prints on standard error: "PROGRAM: error", then the usage line(s).
std::string usage_error_text(std::string_view program, std::string_view error,
                             std::string_view usage);

}  // namespace kelpira::common
