// The "State Machine Definition" table: row texts, the dry-run walk and its endings.
#include <gtest/gtest.h>

#include "statemachine/state_summary.hpp"

namespace kelpira::statemachine {
namespace {

StateMachineImage program(std::uint16_t last_index) {
    StateMachineImage image;
    clear_image(image);
    image.last_index = last_index;
    for (std::uint16_t i = 0; i <= last_index; ++i) {
        new_default_state(image, i);
    }
    return image;
}

Summary dry_run(const StateMachineImage& image, std::uint32_t start = 0,
                std::optional<std::uint32_t> pump_timeout = std::nullopt) {
    return build_summary(image, {SummaryMode::dry_run, start, pump_timeout});
}

TEST(StateSummary, RowTextsOfAnOperatingState) {
    StateRecord s;
    s.valve_mask = (1u << 0) | (1u << 3) | (1u << 15);
    s.led_drive = {0, 0xFFFF, 0, 1000};
    s.pump_on = 1;
    s.winding_current_ma = 400;
    s.step_period_us = 2000;
    s.microstep_code = 2;
    s.pump_direction = 1;
    s.pump_timeout_s = 60;
    s.pump_timeout_next = 9;
    s.state_switch = kSwitchOff;
    s.photodiode_power = 1;
    s.delay_s = 0xFFFFFFFF;
    s.default_next = 200;
    s.counter[0] = Counter{0, 0, 0, kCounterIncOnly};
    s.counter[1] = Counter{3, 0, 0, kCounterIncOnly};
    s.counter[2] = Counter{1, 2, 7, kCounterIncAndTest};
    s.counter[3] = Counter{0, 0, 0, kCounterReset};
    s.counter[4] = Counter{0, 0, 0, 9};
    s.dive_trigger = DepthTrigger{0, 3, 4, 0};
    s.climb_trigger = DepthTrigger{0, 1, 5, 0};
    const SummaryRow row = summary_row(s, 12, SummaryMode::definition, {});
    const SummaryRow expected{"12",
                              "operating",
                              "0.3.15",
                              "400mA;2000\u00B5s;4x;withdraw;hall;60s",
                              "1.3",
                              "off",
                              "on",
                              "-1s",
                              "goto state 200",
                              "",
                              "inc by 3",
                              "inc by 1 and if > 2 goto state 7",
                              "reset to zero",
                              "?",
                              "",
                              "if diving below P3 goto state 4",
                              "if climbing above P1 goto state 5",
                              "if pump times out goto state 9"};
    EXPECT_EQ(row, expected);
    EXPECT_EQ(row[3].substr(10, 3), "\xC2\xB5s");  // UTF-8

    s.counter[2] = Counter{1, 2, 7, kCounterIncAndTest};
    EXPECT_EQ(summary_row(s, 12, SummaryMode::dry_run, {0, 0, 2})[11], "if 3 > 2 goto state 7");
    s.pump_stop_mode = kStopOnTime;
    s.valve_mask = 0;
    s.led_drive.fill(0);
    s.delay_mode = kDelaySchedule;
    const SummaryRow timed = summary_row(s, 0, SummaryMode::definition, {});
    EXPECT_EQ(timed[2], "none");
    EXPECT_EQ(timed[3], "400mA;2000\u00B5s;4x;withdraw;time;60s");
    EXPECT_EQ(timed[4], "none");
    EXPECT_EQ(timed[7], "sched");
    EXPECT_EQ(timed[17], "");
}

TEST(StateSummary, OtherPowerModesLeaveColumnsEmpty) {
    StateRecord s;
    s.pump_on = 1;
    s.default_next = 3;
    s.power_mode = kPowerSleeping;
    SummaryRow row = summary_row(s, 1, SummaryMode::definition, {});
    EXPECT_EQ(row[1], "sleeping");
    EXPECT_EQ(row[3], "");
    EXPECT_EQ(row[8], "goto state 3");
    EXPECT_EQ(row[17], "if pump times out goto state 0");
    for (const auto& [mode, text] :
         {std::pair{kPowerIdle, "idle"}, std::pair{kPowerHibernating, "hibernating"},
          std::pair{std::uint8_t{7}, "unknown (7)"}}) {
        s.power_mode = mode;
        row = summary_row(s, 1, SummaryMode::definition, {});
        EXPECT_EQ(row[1], text);
        for (std::size_t c = 2; c < kSummaryColumnCount; ++c) {
            EXPECT_EQ(row[c], "") << text << " column " << c;
        }
    }
}

TEST(StateSummary, DefinitionListsEveryStateInOrder) {
    StateMachineImage image = program(2);
    image.states[1].power_mode = kPowerIdle;
    const Summary s = build_summary(image, {SummaryMode::definition, 2, 1});
    EXPECT_EQ(s.title, "State Machine Definition (3 states)");
    ASSERT_EQ(s.rows.size(), 3u);
    EXPECT_EQ(s.rows[0][0], "0");
    EXPECT_EQ(s.rows[2][0], "2");
    EXPECT_FALSE(s.end_message);
}

TEST(StateSummary, DryRunEndings) {
    StateMachineImage two = program(1);
    two.states[1].power_mode = kPowerIdle;
    Summary s = dry_run(two);
    EXPECT_EQ(s.title, "State Machine Dry Run (2 states)");
    ASSERT_EQ(s.rows.size(), 2u);
    EXPECT_EQ(s.rows[1][0], "1");
    EXPECT_EQ(s.end_message, "Dry-run ended at IDLE state.");

    two.states[1].power_mode = kPowerHibernating;
    EXPECT_EQ(dry_run(two).end_message, "Dry-run ended at HIBERNATING state.");

    StateMachineImage one = program(0);  // default next is itself
    s = dry_run(one);
    EXPECT_EQ(s.rows.size(), kDryRunRowLimit);
    EXPECT_EQ(s.end_message,
              "Dry run terminated after 1000 iterations to avoid probable infinite loop.");

    StateMachineImage bad = program(1);
    bad.states[1].default_next = 2;
    s = dry_run(bad, 7);  // the start is clamped to the last state
    ASSERT_EQ(s.rows.size(), 1u);
    EXPECT_EQ(s.rows[0][0], "1");
    EXPECT_EQ(s.end_message, "Dry run terminated by invalid state reference (2)");
}

TEST(StateSummary, DryRunCountersAndSimulatedPumpTimeout) {
    // State 0 loops to itself; its Inc & Test counter (increment 1, limit 2) sends the run to
    // state 1 when state 0 is left for the third time; state 1 goes back to 0.
    StateMachineImage image = program(2);
    image.states[0].default_next = 0;
    image.states[0].counter[0] = Counter{1, 2, 1, kCounterIncAndTest};
    image.states[1].default_next = 0;
    image.states[2].power_mode = kPowerIdle;
    Summary s = dry_run(image);
    std::vector<std::string> path;
    for (std::size_t i = 0; i < 9; ++i) {
        path.push_back(s.rows[i][0] + ":" + s.rows[i][9]);
    }
    EXPECT_EQ(path,
              (std::vector<std::string>{"0:if 1 > 2 goto state 1", "0:if 2 > 2 goto state 1",
                                        "0:if 3 > 2 goto state 1", "1:", "0:if 1 > 2 goto state 1",
                                        "0:if 2 > 2 goto state 1", "0:if 3 > 2 goto state 1",
                                        "1:", "0:if 1 > 2 goto state 1"}));

    // The pump times out once, on state 1, whose time-out goes to the idle state 2.
    image.states[1].pump_timeout_next = 2;
    s = dry_run(image, 0, 1);
    ASSERT_EQ(s.rows.size(), 5u);
    EXPECT_EQ(s.rows[4][0], "2");
    EXPECT_EQ(s.end_message, "Dry-run ended at IDLE state.");
}

TEST(StateSummary, SavedTextQuotesCellsAsEveryCsvFileDoes) {
    Summary summary;
    SummaryRow row;
    row[0] = "3";
    row[1] = "say \"hi\", then";  // a comma and quotes: one quoted cell
    row[7] = "-1s";               // a spreadsheet would take it for a formula
    summary.rows.push_back(row);
    const std::string text = summary_text(summary);
    EXPECT_EQ(
        text.substr(text.find('\n') + 1),
        "3,\"say \"\"hi\"\", then\",,,,,,'-1s" + std::string(kSummaryColumnCount - 8, ',') + "\n");
}

}  // namespace
}  // namespace kelpira::statemachine
