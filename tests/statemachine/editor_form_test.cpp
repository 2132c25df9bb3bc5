// The editor's controls: what a state shows, the record read back (clamps, zeroed start,
// lists out of range), the coupling of the controls, and the state-number entries.
#include <gtest/gtest.h>

#include "statemachine/editor_form.hpp"
#include "statemachine/editor_state_entries.hpp"

namespace kelpira::statemachine {
namespace {

StateRecord operating_state() {
    StateRecord s;
    s.normalised = 1;
    s.valve_mask = 0x8005;
    s.led_drive = {kLedOn, kLedOff, kLedOn, kLedOff};
    s.hall_power = 1;
    s.pump_on = 1;
    s.pump_direction = 1;
    s.winding_current_ma = 250;
    s.step_period_us = 3000;
    s.microstep_code = 2;
    s.pump_stop_mode = kStopOnHall;
    s.pump_timeout_s = 30;
    s.pump_timeout_next = 9;
    s.state_switch = kSwitchOff;
    s.sync_value = 17;
    s.default_next = 4;
    s.counter[1] = {1, 2, 7, kCounterIncAndTest};
    s.dive_trigger.level = 2;
    s.dive_trigger.next_state = 12;
    s.delay_s = 60;
    s.power_mode = kPowerOperating;
    return s;
}

TEST(EditorForm, ShowsAStateAndReadsTheSameStateBack) {
    StateDefaults d;
    d.led_current_ua = {12345, 48000, 7, 0};
    d.hall_stop_inject = 1200;
    d.hall_stop_withdraw = 800;
    const StateRecord s = operating_state();
    const EditorForm f = form_of(s, d);

    EXPECT_EQ(f.led_current[0], "12.345");
    EXPECT_EQ(f.led_current[1], "0.000");  // Off shows no current
    EXPECT_EQ(f.led_current[2], "0.007");
    EXPECT_EQ(f.hall_stop_inject, "1200");
    EXPECT_EQ(f.hall_stop_withdraw, "800");
    EXPECT_EQ(f.step_count, "unsupported");
    EXPECT_EQ(f.stop_mode, 0);
    EXPECT_EQ(f.power_mode, 1);  // "Operating" is the second entry
    EXPECT_TRUE(f.send_sync);

    StateRecord expected = s;
    expected.normalised = 0;  // no control sets it
    EXPECT_EQ(record_of(f), expected);
}

TEST(EditorForm, ReadBackStartsZeroedAndClampsEveryNumber) {
    StateRecord s = operating_state();
    s.hall_stop_inject = 500;
    s.step_count = 1000;
    EditorForm f = form_of(s, {});
    f.winding_current = "5";
    f.step_period = "999999";
    f.pump_timeout_next = "300";
    f.sync_value = "99999999999";
    f.default_next = "256";
    f.counters[0] = {1, "1000", " 7", "x"};
    f.dive.next_state = "-3";
    StateRecord r = record_of(f);
    EXPECT_EQ(r.normalised, 0);
    EXPECT_EQ(r.hall_stop_inject, 0);
    EXPECT_EQ(r.step_count, 0U);
    EXPECT_EQ(r.winding_current_ma, 10);
    EXPECT_EQ(r.step_period_us, 131071U);
    EXPECT_EQ(r.pump_timeout_next, 255);
    EXPECT_EQ(r.sync_value, 255);
    EXPECT_EQ(r.default_next, 255);
    EXPECT_EQ(r.counter[0], (Counter{255, 7, 0, kCounterIncAndTest}));
    EXPECT_EQ(r.dive_trigger.next_state, 0);

    f.winding_current = "2000";
    f.step_period = "";
    f.send_sync = false;
    r = record_of(f);
    EXPECT_EQ(r.winding_current_ma, 1600);
    EXPECT_EQ(r.step_period_us, 2U);
    EXPECT_EQ(r.sync_value, 0);  // the value counts only while "Send Sync" is ticked
}

TEST(EditorForm, EachStopModeReadsOnlyItsOwnEdits) {
    EditorForm f = form_of(operating_state(), {});
    f.stop_mode = row_of(kPumpStopList, kStopOnTime);
    StateRecord r = record_of(f);
    EXPECT_EQ(r.pump_stop_mode, kStopOnTime);
    EXPECT_EQ(r.pump_timeout_s, 30U);
    EXPECT_EQ(r.pump_timeout_next, 0);

    f.stop_mode = row_of(kPumpStopList, kStopOnStepCount);
    r = record_of(f);
    EXPECT_EQ(r.pump_stop_mode, kStopOnStepCount);
    EXPECT_EQ(r.pump_timeout_s, 0U);
    EXPECT_EQ(r.step_count, 0U);  // the edit shows "unsupported"

    f.wait_for_schedule = true;
    r = record_of(f);
    EXPECT_EQ(r.delay_mode, kDelaySchedule);
    EXPECT_EQ(r.delay_s, 0U);
}

TEST(EditorForm, ListsWithoutAValidSelectionStoreZero) {
    EditorForm f = form_of(operating_state(), {});
    f.power_mode = kNoSelection;
    f.state_switch = 2;
    f.leds[0] = 7;
    f.microstep = kNoSelection;
    f.counters[1].mode = 3;
    const StateRecord r = record_of(f);
    EXPECT_EQ(r.power_mode, 0);
    EXPECT_EQ(r.state_switch, 0);
    EXPECT_EQ(r.led_drive[0], 0);
    EXPECT_EQ(r.microstep_code, 0);
    EXPECT_EQ(r.counter[1].mode, 0);

    StateRecord odd;
    odd.microstep_code = 9;
    odd.led_drive[3] = 1000;  // a drive current the editor never stores shows as On
    const EditorForm g = form_of(odd, {});
    EXPECT_EQ(g.microstep, kNoSelection);
    EXPECT_EQ(g.leds[3], 0);
}

TEST(EditorForm, OperatingThePumpOnHallSensorsSwitchesTheirSupplyOn) {
    EditorForm f = form_of(operating_state(), {});
    f.hall_power = false;
    f.pump_on = false;
    apply_hall_coupling(f);
    EXPECT_FALSE(f.hall_power);
    f.pump_on = true;
    apply_hall_coupling(f);
    EXPECT_TRUE(f.hall_power);

    f.hall_power = false;
    f.stop_mode = row_of(kPumpStopList, kStopOnTime);
    apply_hall_coupling(f);
    EXPECT_FALSE(f.hall_power);
}

TEST(EditorForm, EnablingFollowsPowerModePumpAndChoices) {
    EditorForm f = form_of(operating_state(), {});
    EditorEnabling e = enabling_of(f, false, 0, 3);
    EXPECT_TRUE(e.valves && e.leds && e.supplies && e.pump_settings && e.state_switch);
    EXPECT_TRUE(e.pump_timeout && e.pump_timeout_next && e.sync_value && e.dive_next);
    EXPECT_FALSE(e.climb_next);  // no level chosen
    EXPECT_TRUE(e.counters[1].limit && e.counters[1].next_state);
    EXPECT_TRUE(e.counters[0].increment);
    EXPECT_FALSE(e.counters[0].limit || e.counters[0].next_state);  // "Inc Only"
    EXPECT_TRUE(e.delay_s);
    EXPECT_FALSE(e.schedule || e.save_to_sensor || e.refresh || e.previous);
    EXPECT_TRUE(e.next);

    f.counters[1].mode = row_of(kCounterModeList, kCounterReset);
    f.stop_mode = row_of(kPumpStopList, kStopOnTime);
    f.wait_for_schedule = true;
    f.send_sync = false;
    e = enabling_of(f, true, 3, 3);
    EXPECT_TRUE(e.counters[1].mode);
    EXPECT_FALSE(e.counters[1].increment || e.counters[1].limit);
    EXPECT_TRUE(e.pump_timeout);
    EXPECT_FALSE(e.pump_timeout_next || e.sync_value || e.delay_s || e.next);
    EXPECT_TRUE(e.schedule && e.save_to_sensor && e.refresh && e.previous);

    f.stop_mode = row_of(kPumpStopList, kStopOnStepCount);
    EXPECT_FALSE(enabling_of(f, true, 0, 0).pump_timeout);
    f.pump_on = false;
    e = enabling_of(f, true, 0, 0);
    EXPECT_TRUE(e.pump_on);
    EXPECT_FALSE(e.pump_settings || e.pump_timeout);

    f.power_mode = row_of(kPowerModeList, kPowerSleeping);
    e = enabling_of(f, true, 0, 0);
    EXPECT_FALSE(e.valves || e.leds || e.supplies || e.pump_on || e.state_switch || e.send_sync);
    EXPECT_FALSE(e.counters[0].mode || e.dive_level || e.climb_level);
    EXPECT_TRUE(e.delay_choice && e.default_next && e.schedule);

    for (auto mode : {kPowerIdle, kPowerHibernating}) {
        f.power_mode = row_of(kPowerModeList, mode);
        e = enabling_of(f, true, 0, 0);
        EXPECT_FALSE(e.delay_choice || e.delay_s || e.schedule || e.default_next || e.valves);
    }
}

TEST(EditorDialogs, StateNumbersBeyondTheLastStateAreRefused) {
    EXPECT_FALSE(check_state_entry("9", 5).acceptable);  // six states
    EXPECT_TRUE(check_state_entry("5", 5).acceptable);
    EXPECT_FALSE(check_state_entry("1", 0).acceptable);
    EXPECT_TRUE(check_state_entry("", 0).acceptable);
    EXPECT_EQ(go_to_result("9", 5), 5);
    EXPECT_EQ(go_to_result("3", 5), 3);
}

}  // namespace
}  // namespace kelpira::statemachine
