// kelpira-ctl check against an emulated sensor: its exit statuses and its two forms.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "ctl/ctl_program.hpp"

namespace kelpira {
namespace {

class CtlCheck : public ::testing::Test {
  protected:
    // On the PC's clock, so its clock passes.
    CtlCheck() { served.serve(std::make_unique<virtual_sensor::VirtualSensor>(), "deck"); }

    testing::TempFolder files;
    std::string runtime = files.path("runtime");
    ServedSensors served{runtime};
};

TEST_F(CtlCheck, ExitsOneOnlyWhenAnItemFails) {
    CtlRun r = run({"check"}, runtime);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    const auto lines = lines_of(r.out);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[5].substr(0, 17), "WARN program     ");
    EXPECT_EQ(lines[11].substr(0, 17), "PASS thermistors ");
    EXPECT_EQ(r.err, "");

    // The default program stops after 24 cycles, hours before a 30-day deployment ends.
    r = run({"check", "--days=30"}, runtime);
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_EQ(lines_of(r.out)[5].substr(0, 12), "FAIL program");
    EXPECT_EQ(r.err, "");
}

TEST_F(CtlCheck, JsonIsTheListAndNothingElse) {
    const CtlRun r = run({"check", "--json", "--days", "0.5", "--stroke-ul", "50", "--reagent",
                          "1=250", "--platform", "eti"},
                         runtime);
    EXPECT_EQ(r.status, 1) << r.err;
    const auto list = nlohmann::json::parse(r.out);
    ASSERT_TRUE(list.is_array());
    ASSERT_EQ(list.size(), 12u);
    for (const auto& item : list) {
        ASSERT_EQ(item.size(), 3u) << item;
        EXPECT_TRUE(item["text"].is_string());
    }
    EXPECT_EQ(list[9]["id"], "endurance");
    EXPECT_EQ(list[9]["verdict"], "pass");
    EXPECT_EQ(list[10]["id"], "serial");
    EXPECT_EQ(list[10]["verdict"], "pass");
}

TEST_F(CtlCheck, UsageErrors) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"check", "--days"}, "kelpira-ctl: --days: 1 required N missing"},
        {{"check", "--days=-3"}, "kelpira-ctl: --days: -3 not of the form a number above 0"},
        {{"check", "--stroke-ul", "0"},
         "kelpira-ctl: --stroke-ul: 0 not of the form a number above 0"},
        {{"check", "--reagent", "16=5"}, "kelpira-ctl: --reagent: 16=5 not of the form VALVE=ML"},
        {{"check", "--platform=slocum"},
         "kelpira-ctl: --platform: slocum not in {seaglider, bridges, eti, generic}"},
        {{"check", "now"}, "kelpira-ctl: The following argument was not expected: now"},
    };
    for (const auto& [args, message] : cases) {
        const CtlRun r = run(args, runtime);
        EXPECT_EQ(r.status, 2) << message;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(lines_of(r.err).front(), message);
    }
}

}  // namespace
}  // namespace kelpira
