// Each firmware compatibility warning judged against what a deployment uses.
#include <gtest/gtest.h>

#include <algorithm>

#include "deployment_check/firmware_warnings.hpp"

namespace kelpira::deployment_check {
namespace {

using records::ChemistryType;
using V = Verdict;

DeploymentUse nitrate() {
    DeploymentUse u;
    u.chemistry = ChemistryType::nitrate;
    u.multiplexer = 0;
    u.nutrient = records::NutrientParams{};
    u.program = true;
    u.rs232_protocol = records::kRs232Seaglider;
    u.rs485 = records::Rs485Config{};
    return u;
}

WarningMatch find(const std::vector<WarningMatch>& all, std::string_view release) {
    const auto at = std::find_if(all.begin(), all.end(),
                                 [&](const WarningMatch& w) { return w.release == release; });
    return at == all.end() ? WarningMatch{} : *at;
}

TEST(FirmwareWarnings, EachJudgedOnWhatTheDeploymentUses) {
    struct Case {
        const char* firmware;
        void (*use)(DeploymentUse&);
        const char* release;
        V verdict;
        const char* why;
    };
    const Case cases[] = {
        // The schedule warning applies to a program that waits for the schedule, Ammonia does
        // not apply to a nitrate sensor.
        {"KELPIRA_2_7_2", [](DeploymentUse& u) { u.program_waits = true; }, "KELPIRA_2_7_3",
         V::fail, "the program waits for the schedule"},
        {"KELPIRA_2_7_2", [](DeploymentUse&) {}, "KELPIRA_2_7_3", V::skip,
         "the program does not wait for the schedule"},
        {"KELPIRA_2_7_2", [](DeploymentUse&) {}, "KELPIRA_2_8_3", V::skip,
         "the sensor measures Nitrate"},
        {"KELPIRA_2_8_1", [](DeploymentUse& u) { u.chemistry = ChemistryType::ammonia; },
         "KELPIRA_2_8_3", V::fail, "the sensor measures Ammonia"},
        {"KELPIRA_2_8_1", [](DeploymentUse& u) { u.chemistry.reset(); }, "KELPIRA_2_8_3", V::warn,
         "the chemistry could not be read, so the check cannot tell"},
        // RS485: in use at all, then its address above 32.
        {"KELPIRA_2_7_5",
         [](DeploymentUse& u) {
             u.rs485->protocol = records::kRs485StormLogger;
             u.rs485->slave_address = 33;
         },
         "KELPIRA_2_7_16", V::fail, "the RS485 address is 33"},
        {"KELPIRA_2_7_5",
         [](DeploymentUse& u) {
             u.rs485->protocol = records::kRs485StormLogger;
             u.rs485->slave_address = 32;
         },
         "KELPIRA_2_7_16", V::skip, "the RS485 address is 32"},
        {"KELPIRA_2_7_5", [](DeploymentUse& u) { u.rs485->protocol = records::kRs485StormLogger; },
         "KELPIRA_2_7_6", V::fail, "RS485 is set to protocol 2"},
        {"KELPIRA_2_7_5", [](DeploymentUse& u) { u.rs485.reset(); }, "KELPIRA_2_7_6", V::skip,
         "the firmware answered no RS485 settings"},
        {"KELPIRA_2_6_T7",
         [](DeploymentUse& u) { u.rs232_protocol = records::kRs232GenericStreaming; },
         "KELPIRA_2_6_T9", V::fail, "RS232 is set to a GENERIC platform"},
        // The nutrient processing record.
        {"KELPIRA_2_7_14", [](DeploymentUse& u) { u.nutrient->output_channel = 254; },
         "KELPIRA_2_7_15", V::fail, "the nutrient processing outputs Adaptive"},
        {"KELPIRA_2_7_14", [](DeploymentUse& u) { u.nutrient->monitor_long = 5; }, "KELPIRA_2_7_20",
         V::fail, "the nutrient processing has monitor inputs set"},
        {"KELPIRA_2_4_T8", [](DeploymentUse& u) { u.nutrient->standard_adjustment = 2; },
         "KELPIRA_2_4_T9", V::fail, "the nutrient processing uses Standard 2"},
        {"KELPIRA_2_4_T8", [](DeploymentUse& u) { u.chemistry = ChemistryType::ph; },
         "KELPIRA_2_4_T9", V::skip, "the sensor measures pH, not a nutrient"},
        {"KELPIRA_2_7_3", [](DeploymentUse& u) { u.chemistry = ChemistryType::ta; },
         "KELPIRA_2_7_5", V::fail, "the sensor measures TA"},
        {"KELPIRA_2_7_3", [](DeploymentUse&) {}, "KELPIRA_2_7_7", V::skip,
         "not part of a deployment or of this check"},
        // Whether the program was saved from this program cannot be read back.
        {"KELPIRA_2_6_T1", [](DeploymentUse&) {}, "KELPIRA_2_6_T2", V::warn,
         "the deployment runs the program on the sensor: make sure it was not saved from this "
         "program"},
    };
    for (const auto& c : cases) {
        DeploymentUse use = nitrate();
        c.use(use);
        const WarningMatch w = find(match_firmware_warnings(c.firmware, use), c.release);
        EXPECT_EQ(w.release, c.release) << c.firmware << " " << c.release;
        EXPECT_EQ(w.verdict, c.verdict) << c.firmware << " " << c.release;
        EXPECT_EQ(w.why, c.why) << c.firmware << " " << c.release;
    }
}

// The sixteen warnings of KELPIRA_2_7_2, newest first; none for the latest or a test build.
TEST(FirmwareWarnings, TheVerdictsListNewestFirst) {
    const auto all = match_firmware_warnings("KELPIRA_2_7_2", nitrate());
    ASSERT_EQ(all.size(), 16u);
    EXPECT_EQ(all.front().warning, "Do not try to configure Ammonia chemistry");
    EXPECT_EQ(all.back().warning, "Do not set a measurement schedule");
    EXPECT_TRUE(match_firmware_warnings("KELPIRA_2_8_3", nitrate()).empty());
    EXPECT_TRUE(match_firmware_warnings("KELPIRA_2_7_2_T1", nitrate()).empty());
}

// A warning without a rule would be a warn saying so; every warning of the table has one.
TEST(FirmwareWarnings, EveryWarningOfTheTableHasARule) {
    for (const auto& w : match_firmware_warnings("KELPIRA_0_0_1", nitrate())) {
        EXPECT_NE(w.why, "the check does not know what it concerns: judge it by hand") << w.release;
    }
}

}  // namespace
}  // namespace kelpira::deployment_check
