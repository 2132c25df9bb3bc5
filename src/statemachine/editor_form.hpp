// The "Edit State Machine" controls as plain data: what they show for one state, how they are
// read back into a record, which of them are enabled, and the lists behind them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "statemachine/state_lists.hpp"
#include "statemachine/state_machine_image.hpp"
#include "statemachine/state_record.hpp"

namespace kelpira::statemachine {

// A list's selection: a row of its table (state_lists.hpp), or kNoSelection.
inline constexpr int kNoSelection = -1;

// The row of `value` in the table, or kNoSelection.
int row_of(ListTable table, std::uint16_t value);
// The value of the selected row; a selection out of range stores 0.
std::uint16_t value_at(ListTable table, int row);

// An edit as the editor reads it: decimal digits after optional blanks; a number beyond 32
// bits counts as the largest one, and an edit without a number counts as 0.
std::uint32_t edit_number(std::string_view text);

struct CounterControls {
    int mode = 0;  // kCounterModeList
    std::string increment;
    std::string limit;
    std::string next_state;

    bool operator==(const CounterControls&) const = default;
};

struct TriggerControls {
    int level = 0;  // kDiveLevelList or kClimbLevelList
    std::string next_state;

    bool operator==(const TriggerControls&) const = default;
};

// Text the step count edit always shows: the editor does not take step counts.
inline constexpr std::string_view kStepCountText = "unsupported";

struct EditorForm {
    std::array<bool, kValveCount> valves{};
    std::array<int, kLedCount> leds{};               // led_list
    std::array<std::string, kLedCount> led_current;  // read-only, mA
    bool hall_power = false;
    bool photodiode_power = false;
    bool pump_on = false;
    int direction = 0;  // kPumpDirectionList
    std::string winding_current;
    std::string step_period;
    int microstep = 0;               // kMicrostepList
    int stop_mode = 0;               // kPumpStopList
    std::string hall_stop_inject;    // read-only: the sensor's default
    std::string hall_stop_withdraw;  // read-only: the sensor's default
    std::string pump_timeout;
    std::string pump_timeout_next;
    std::string step_count;  // read-only
    int state_switch = 0;    // kStateSwitchList
    bool send_sync = false;
    std::string sync_value;
    std::string default_next;
    std::array<CounterControls, kCounterCount> counters;
    TriggerControls dive;
    TriggerControls climb;
    bool wait_for_schedule = false;  // "Wait For Next Measurement Time" rather than seconds
    std::string delay_s;
    int power_mode = 0;  // kPowerModeList

    bool operator==(const EditorForm&) const = default;
};

// The controls showing state `s`; the read-only edits show the sensor's defaults.
EditorForm form_of(const StateRecord& s, const StateDefaults& defaults);

// The read-only current beside each LED: its default current when On, "0.000" when Off.
void show_led_currents(EditorForm& form, const StateDefaults& defaults);

// The record the controls describe. It starts zeroed, so whatever no control sets is 0, the
// `normalised` byte too; numbers are clamped to their fields' ranges.
StateRecord record_of(const EditorForm& form);

// "Operate Pump" ticked or a stop mode chosen: stopping on the Hall sensors needs their supply.
void apply_hall_coupling(EditorForm& form);

struct CounterEnabling {
    bool mode = false;
    bool increment = false;
    bool limit = false;
    bool next_state = false;
};

// Which controls take input. Lists, edits and check boxes not named here are always enabled
// (the power mode list) or never (the read-only edits).
struct EditorEnabling {
    bool valves = false;
    bool leds = false;
    bool supplies = false;  // the two 5 V check boxes
    bool pump_on = false;
    bool pump_settings = false;  // direction, winding current, step period, micro-steps, stop mode
    bool pump_timeout = false;
    bool pump_timeout_next = false;
    bool state_switch = false;
    bool send_sync = false;
    bool sync_value = false;
    std::array<CounterEnabling, kCounterCount> counters{};
    bool dive_level = false;
    bool dive_next = false;
    bool climb_level = false;
    bool climb_next = false;
    bool delay_choice = false;  // the two radio buttons
    bool delay_s = false;
    bool schedule = false;
    bool default_next = false;
    bool next = false;
    bool previous = false;
    bool save_to_sensor = false;
    bool refresh = false;
};

EditorEnabling enabling_of(const EditorForm& form, bool connected, std::uint16_t current,
                           std::uint16_t last_index);

// Tooltips of the editor's controls.
namespace editor_tips {
inline constexpr std::string_view kWindingCurrent = "Winding current limit (10ma-1600mA)";
inline constexpr std::string_view kStepPeriod = "Step period (2us-131071us)";
inline constexpr std::string_view kHallStopInject = "Hall stop value (injecting 1-4095)";
inline constexpr std::string_view kHallStopWithdraw = "Hall stop value (withdrawing 1-4095)";
inline constexpr std::string_view kPumpTimeout = "Hall stop timeout/stop time (s)";
inline constexpr std::string_view kPumpTimeoutNext = "Next state if Hall stop times out (0-255)";
inline constexpr std::string_view kLedCurrent = "LED current (0mA-48mA)";
inline constexpr std::string_view kDelay = "Delay time (s)";
inline constexpr std::string_view kDefaultNext = "Next state if no counters expire (0-255)";
inline constexpr std::string_view kValve = "Open valve";
inline constexpr std::string_view kIncrement = "Amount to increment before testing (0-255)";
inline constexpr std::string_view kLimit = "Max value for counter (1-255)";
inline constexpr std::string_view kCounterNext = "Next step if counter exceeds max value (0-255)";
inline constexpr std::string_view kSecondCounter = "etc.";
inline constexpr std::string_view kSaveToSensor = "Save edits to sensor (all states)";
inline constexpr std::string_view kRefresh = "Refresh editor from sensor (all states)";
inline constexpr std::string_view kSummary = "Dry-run state machine on PC";
inline constexpr std::string_view kSendSync =
    "Send synchronisation signal to external unit (usually off)";
inline constexpr std::string_view kSyncValue = "Sychronisation value to send (0-255)";
}  // namespace editor_tips

}  // namespace kelpira::statemachine
