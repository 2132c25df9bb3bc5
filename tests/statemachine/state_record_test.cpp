// The state record's byte layout, the image's defaults and normalisation, and the transition.
#include <gtest/gtest.h>

#include <numeric>

#include "statemachine/state_machine_image.hpp"
#include "statemachine/state_record.hpp"
#include "statemachine/state_transition.hpp"

namespace kelpira::statemachine {
namespace {

TEST(StateRecordBytes, FieldsSitAtTheirOffsets) {
    StateBytes bytes{};
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{1});
    const StateRecord s = decode_state_record(bytes);
    EXPECT_EQ(s.normalised, 1);
    EXPECT_EQ(s.valve_mask, 0x0302);
    EXPECT_EQ(s.led_drive[3], 0x0B0A);
    EXPECT_EQ(s.hall_power, 12);
    EXPECT_EQ(s.pump_direction, 15);
    EXPECT_EQ(s.winding_current_ma, 0x1110);
    EXPECT_EQ(s.step_period_us, 0x15141312u);
    EXPECT_EQ(s.microstep_code, 22);
    EXPECT_EQ(s.pump_stop_mode, 23);
    EXPECT_EQ(s.hall_stop_withdraw, 0x1B1A);
    EXPECT_EQ(s.pump_timeout_next, 28);
    EXPECT_EQ(s.step_count, 0x201F1E1Du);
    EXPECT_EQ(s.pump_timeout_s, 0x24232221u);
    EXPECT_EQ(s.state_switch, 37);
    EXPECT_EQ(s.sync_value, 38);
    EXPECT_EQ(s.default_next, 39);
    EXPECT_EQ(s.counter[0], (Counter{40, 41, 42, 43}));
    EXPECT_EQ(s.counter[5], (Counter{60, 61, 62, 63}));
    EXPECT_EQ(s.dive_trigger, (DepthTrigger{64, 65, 66, 67}));
    EXPECT_EQ(s.climb_trigger, (DepthTrigger{68, 69, 70, 71}));
    EXPECT_EQ(s.delay_s, 0x4B4A4948u);
    EXPECT_EQ(s.delay_mode, 76);
    EXPECT_EQ(s.power_mode, 77);
    EXPECT_EQ(encode(s), bytes);
}

TEST(StateMachineImage, DefaultStatePointsOnwardExceptAtTheEnd) {
    StateMachineImage image;
    image.state_defaults.winding_current_ma = 400;
    image.state_defaults.step_period_us = 2000;
    image.state_defaults.pump_timeout_s = 30;
    image.state_defaults.photodiode_power = 0;
    image.last_index = 3;
    new_default_state(image, 1);
    const StateRecord& s = image.states[1];
    EXPECT_EQ(s.normalised, 1);
    EXPECT_EQ(s.led_drive, (std::array<std::uint16_t, 4>{kLedOn, kLedOn, kLedOn, kLedOn}));
    EXPECT_EQ(s.winding_current_ma, 400);
    EXPECT_EQ(s.step_period_us, 2000u);
    EXPECT_EQ(s.pump_timeout_s, 30u);
    EXPECT_EQ(s.hall_power, 1);
    EXPECT_EQ(s.photodiode_power, 0);
    EXPECT_EQ(s.pump_direction, 1);
    EXPECT_EQ(s.default_next, 2);
    EXPECT_EQ(s.pump_timeout_next, 2);
    EXPECT_EQ(s.state_switch, kSwitchOn);
    EXPECT_EQ(s.delay_s, 1u);
    new_default_state(image, 3);
    EXPECT_EQ(image.states[3].default_next, 3);

    clear_image(image);
    EXPECT_EQ(image.last_index, 0);
    EXPECT_EQ(image.states[0].default_next, 0);
    EXPECT_EQ(image.states[3], StateRecord{});
    EXPECT_TRUE(matches_snapshot(image));
    image.states[0].sync_value = 5;
    EXPECT_FALSE(matches_snapshot(image));
}

TEST(StateMachineImage, NormalisationTouchesOnlyRecordsNotYetNormalised) {
    StateRecord raw;
    raw.led_drive = {999, 0, 1, 0xFFFF};
    raw.hall_stop_inject = 7;
    raw.dive_trigger = {1, 7, 9, 1};
    raw.climb_trigger = {0, 3, 9, 0};
    StateRecord done = raw;
    done.normalised = 1;
    normalise(raw);
    normalise(done);
    EXPECT_EQ(raw.normalised, 1);
    EXPECT_EQ(raw.led_drive, (std::array<std::uint16_t, 4>{kLedOn, 0, kLedOn, kLedOn}));
    EXPECT_EQ(raw.hall_stop_inject, 0);
    EXPECT_EQ(raw.state_switch, kSwitchOn);
    EXPECT_EQ(raw.dive_trigger, DepthTrigger{});
    EXPECT_EQ(raw.climb_trigger, (DepthTrigger{0, 3, 9, 0}));
    EXPECT_EQ(done.led_drive[0], 999);
    EXPECT_EQ(done.state_switch, kSwitchUnset);
    EXPECT_EQ(done.dive_trigger.level, 7);
}

TEST(StateTransition, IncAndTestFiresOnTheThirdExitAndRestarts) {
    StateRecord s;
    s.default_next = 0;
    s.counter[1] = Counter{1, 2, 9, kCounterIncAndTest};
    WalkState walk;
    EXPECT_EQ(leave_state(s, 0, walk), 0);
    EXPECT_EQ(leave_state(s, 0, walk), 0);
    EXPECT_EQ(leave_state(s, 0, walk), 9);
    EXPECT_EQ(walk.counters[1], 0);
    EXPECT_EQ(leave_state(s, 0, walk), 0);
    EXPECT_EQ(walk.counters[1], 1);
}

TEST(StateTransition, LaterCounterWinsResetZeroesAndPumpTimeoutFiresOnce) {
    StateRecord s;
    s.default_next = 1;
    s.pump_timeout_next = 7;
    s.counter[0] = Counter{5, 0, 3, kCounterIncAndTest};
    s.counter[2] = Counter{5, 0, 4, kCounterIncAndTest};
    s.counter[3] = Counter{200, 0, 0, kCounterIncOnly};
    s.counter[4] = Counter{9, 0, 0, kCounterReset};
    WalkState walk;
    walk.counters[3] = 100;
    walk.counters[4] = 50;
    walk.pump_timeout_state = 2;
    EXPECT_EQ(leave_state(s, 0, walk), 4);
    EXPECT_EQ(walk.counters[3], 44);  // 8-bit
    EXPECT_EQ(walk.counters[4], 0);
    EXPECT_EQ(leave_state(s, 2, walk), 7);
    EXPECT_EQ(walk.pump_timeout_state, kNoPumpTimeout);
    EXPECT_EQ(leave_state(s, 2, walk), 4);
    StateRecord idle;
    idle.power_mode = kPowerIdle;
    EXPECT_TRUE(ends_walk(idle));
    idle.power_mode = kPowerSleeping;
    EXPECT_FALSE(ends_walk(idle));
}

}  // namespace
}  // namespace kelpira::statemachine
