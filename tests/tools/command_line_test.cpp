// The four programs' command lines as a script sees them: the same version, "--opt=value", and
// a missing value refused with exit status 2 and the usage line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/command_line.hpp"
#include "ctl/ctl_program.hpp"
#include "support/temp_folder.hpp"

namespace kelpira {
namespace {

struct Case {
    std::string program;
    std::vector<std::string> args;
    int status;
    std::string out;          // all of standard output
    std::string first_error;  // the first line of standard error
};

TEST(ProgramCommandLines, VersionValuesAndMissingValues) {
    testing::TempFolder files;
    const std::string runtime = files.path("runtime");  // no sensor attached
    std::vector<Case> cases;
    for (const std::string program :
         {"kelpira", "kelpira-ctl", "kelpira-process", "kelpira-virtual-sensor"}) {
        cases.push_back({program, {"--version"}, 0, common::version_line(program), ""});
    }
    cases.insert(
        cases.end(),
        {
            {"kelpira", {"--version=2"}, 2, "", "kelpira: --version takes no value"},
            {"kelpira-ctl", {"--device=Absent", "info"}, 1, "", "kelpira-ctl: no sensor attached"},
            {"kelpira-ctl",
             {"sm", "summary", "a.asm", "--dry-run=x"},
             2,
             "",
             "kelpira-ctl: --dry-run takes a state number, not \"x\""},
            {"kelpira-process",
             {"--chemistry=gold", "a.csv"},
             2,
             "",
             "kelpira-process: unknown chemistry \"gold\" (choose auto, nutrient, ph, ta or dic)"},
            {"kelpira-virtual-sensor",
             {"--chemistry=gold"},
             2,
             "",
             "kelpira-virtual-sensor: unknown chemistry: gold"},
            {"kelpira-ctl", {"--device"}, 2, "", "kelpira-ctl: --device needs a value"},
            {"kelpira-ctl", {"watch", "--count"}, 2, "", "kelpira-ctl: --count needs a value"},
            {"kelpira-process",
             {"a.csv", "--output"},
             2,
             "",
             "kelpira-process: --output needs a value"},
            {"kelpira-virtual-sensor",
             {"--name"},
             2,
             "",
             "kelpira-virtual-sensor: --name needs a value"},
        });
    for (const auto& c : cases) {
        CtlProcess p =
            spawn_program(std::string(KELPIRA_BINARY_DIR) + "/" + c.program, c.args, runtime);
        const CtlRun r = finish(p);
        const std::string what = c.program + " " + c.args.front();
        EXPECT_EQ(r.status, c.status) << what << "\n" << r.err;
        EXPECT_EQ(r.out, c.out) << what;
        const auto lines = lines_of(r.err);
        EXPECT_EQ(lines.empty() ? "" : lines[0], c.first_error) << what;
        if (c.status == 2) {
            ASSERT_GE(lines.size(), 2u) << what;
            EXPECT_TRUE(lines[1].starts_with("usage: " + c.program + " ")) << what << lines[1];
        }
    }
}

}  // namespace
}  // namespace kelpira
