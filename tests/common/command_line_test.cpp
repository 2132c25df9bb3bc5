// The option parser every program reads its command line with.
#include "common/command_line.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/version.hpp"

namespace kelpira::common {
namespace {

constexpr OptionSpec kTable[] = {{"--jobs", true}, {"-o", true}, {"--progress"}};

// The arguments as "name=value" for options and the bare text for operands, and the error.
std::string read(std::vector<std::string> args, ArgRules rules = {}) {
    const ParsedArgs parsed = parse_args(args, kTable, rules);
    std::string text;
    for (const auto& a : parsed.args) {
        text += (a.option ? std::string(a.option->name) + "=" + a.value : a.value) + " ";
    }
    return parsed.error.empty() ? text : text + "| " + parsed.error;
}

TEST(CommandLine, ValuesOperandsAndUsageErrors) {
    const struct {
        std::vector<std::string> args;
        std::string read;
    } cases[] = {
        {{"--jobs", "2", "--jobs=3", "a", "--progress"}, "--jobs=2 --jobs=3 a --progress= "},
        {{"--jobs=", "-o", "-", "-"}, "--jobs= -o=- - "},        // an empty value is a value
        {{"--jobs", "--progress"}, "--jobs=--progress "},        // the next argument, whatever
        {{"--jobs=a=b"}, "--jobs=a=b "},                         // split at the first "="
        {{"a", "--", "--jobs", "-x"}, "a --jobs -x "},           // "--" ends the options
        {{"a", "--jobs"}, "a | --jobs needs a value"},           // the value is missing
        {{"--progress=1", "b"}, "| --progress takes no value"},  //
        {{"b", "--frob=2", "--jobs"}, "b | unknown option --frob"},
        {{"-o=x"}, "| unknown option -o=x"},  // only a long option takes "=value"
    };
    for (const auto& c : cases) {
        EXPECT_EQ(read(c.args), c.read) << c.args.front();
    }
}

TEST(CommandLine, RulesForACommandAndForQt) {
    EXPECT_EQ(read({"--progress", "sm", "-o", "x", "--frob"}, {.options_end_at_operand = true}),
              "--progress= sm -o x --frob ");
    EXPECT_EQ(read({"-platform", "offscreen", "--jobs", "1"}, {.unknown_is_operand = true}),
              "-platform offscreen --jobs=1 ");
}

TEST(CommandLine, VersionAndUsageErrorTexts) {
    EXPECT_EQ(version_line("kelpira-ctl"), "kelpira-ctl " + std::string(kProgramVersion) + "\n");
    EXPECT_EQ(usage_error_text("kelpira-process", "--jobs needs a value", "usage: x\n"),
              "kelpira-process: --jobs needs a value\nusage: x\n");
}

}  // namespace
}  // namespace kelpira::common
