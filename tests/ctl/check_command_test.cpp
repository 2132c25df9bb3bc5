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
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[5].substr(0, 17), "WARN program     ");
    EXPECT_EQ(lines[15].substr(0, 17), "PASS thermistors ");
    EXPECT_EQ(r.err, "");

    // The default program stops after 24 cycles, hours before a 30-day deployment ends.
    r = run({"check", "--days=30"}, runtime);
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_EQ(lines_of(r.out)[5].substr(0, 12), "FAIL program");
    EXPECT_EQ(r.err, "");
}

TEST_F(CtlCheck, JsonIsOneObject) {
    const CtlRun r = run({"check", "--json", "--days", "0.5", "--stroke-ul", "50", "--reagent",
                          "1=250", "--platform", "eti"},
                         runtime);
    EXPECT_EQ(r.status, 1) << r.err;
    const auto out = nlohmann::json::parse(r.out);
    EXPECT_EQ(out["verdict"], "not ready");
    EXPECT_FALSE(out.contains("reason"));
    EXPECT_EQ(out["sensor"]["name"], "Virtual Sensor");
    EXPECT_EQ(out["sensor"]["serial_number"], 1001);
    EXPECT_EQ(out["sensor"]["program_states"], 12);
    EXPECT_EQ(out["inputs"]["days"], 0.5);
    EXPECT_EQ(out["inputs"]["reagents"], nlohmann::json::parse(R"([{"valve":1,"ml":250.0}])"));
    EXPECT_EQ(out["timeline"]["cycles"], 24);
    EXPECT_EQ(out["configuration"]["kelpira_snapshot"], 1);
    const auto& list = out["items"];
    ASSERT_EQ(list.size(), 16u);
    for (const auto& item : list) {
        ASSERT_EQ(item.size(), 4u) << item;
        EXPECT_TRUE(item["text"].is_string());
        EXPECT_TRUE(item["fix"]["window"].is_string());
    }
    EXPECT_EQ(list[12]["id"], "endurance");
    EXPECT_EQ(list[14]["id"], "serial");
    EXPECT_EQ(list[14]["verdict"], "pass");
    EXPECT_EQ(list[14]["fix"]["window"], "Configure > RS232...");
}

TEST_F(CtlCheck, SheetWrittenOrStatusThree) {
    CtlRun r = run({"check", "--days=30", "--sheet", files.path("sheet.txt")}, runtime);
    EXPECT_EQ(r.status, 1) << r.err;
    const auto sheet = lines_of(testing::TempFolder::read(files.path("sheet.txt")));
    ASSERT_GT(sheet.size(), 3u);
    EXPECT_EQ(sheet[0], "KELPIRA DEPLOYMENT SHEET");
    EXPECT_EQ(sheet[2], "NOT READY: 2 items fail");
    r = run({"check", "--sheet", files.path("none/sheet.txt")}, runtime);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "kelpira-ctl: the deployment sheet " + files.path("none/sheet.txt") +
                         " could not be written: nothing was\n");
}

// No sensor: status 3, and the JSON form still says so.
TEST(CtlCheckAlone, NotCheckedWithoutASensor) {
    testing::TempFolder files;
    const std::string runtime = files.path("runtime");
    ServedSensors none{runtime};
    CtlRun r = run({"check", "--json"}, runtime);
    EXPECT_EQ(r.status, 3) << r.err;
    const auto out = nlohmann::json::parse(r.out);
    EXPECT_EQ(out["verdict"], "not checked");
    EXPECT_TRUE(out["reason"].is_string());
    EXPECT_EQ(out["items"], nlohmann::json::array());
    r = run({"check"}, runtime);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.starts_with("kelpira-ctl: not checked: ")) << r.err;
}

TEST_F(CtlCheck, UsageErrors) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"check", "--days"}, "kelpira-ctl: --days: 1 required N missing"},
        {{"check", "--days=-3"}, "kelpira-ctl: --days: -3 not of the form a number above 0"},
        {{"check", "--stroke-ul", "0"},
         "kelpira-ctl: --stroke-ul: 0 not of the form V or inject=V,withdraw=V (microlitres "
         "above 0)"},
        {{"check", "--stroke-ul", "inject=50"},
         "kelpira-ctl: --stroke-ul: inject=50 not of the form V or inject=V,withdraw=V "
         "(microlitres above 0)"},
        {{"check", "--start", "2026-12-09 19:30"},
         "kelpira-ctl: --start: 2026-12-09 19:30 not of the form YYYY-MM-DDTHH:MM[Z]"},
        {{"check", "--start-state", "prime"},
         "kelpira-ctl: --start-state: prime not in {deploy, auto}"},
        {{"check", "--sleep-w", "0x1p-3"},
         "kelpira-ctl: --sleep-w: 0x1p-3 not of the form a number above 0"},
        {{"check", "--reagent", "16=5"}, "kelpira-ctl: --reagent: 16=5 not of the form VALVE=ML"},
        {{"check", "--platform=slocum"},
         "kelpira-ctl: --platform: slocum not in {seaglider, bridges, eti, generic}"},
        {{"check", "now"}, "kelpira-ctl: The following argument was not expected: now"},
        {{"check", "--days", "0x10"}, "kelpira-ctl: --days: 0x10 not of the form a number above 0"},
        {{"check", "--days", "inf"}, "kelpira-ctl: --days: inf not of the form a number above 0"},
        {{"check", "--days", "30d"}, "kelpira-ctl: --days: 30d not of the form a number above 0"},
        {{"check", "--reagent", "1=100", "--reagent", "01=5"},
         "kelpira-ctl: --reagent: valve 1 given twice"},
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
