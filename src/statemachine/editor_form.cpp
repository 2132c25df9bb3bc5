// The editor's controls: showing a state, reading it back with the clamps, and the enabling.
#include "statemachine/editor_form.hpp"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace kelpira::statemachine {
namespace {

std::string number_text(std::uint32_t v) {
    return std::to_string(v);
}

// Microamperes as milliamperes with three decimals, computed exactly on the integer.
std::string milliamp_text(std::uint32_t microamps) {
    char text[24];
    std::snprintf(text, sizeof text, "%u.%03u", microamps / 1000, microamps % 1000);
    return text;
}

std::uint32_t clamped(const std::string& text, std::uint32_t low, std::uint32_t high) {
    return std::clamp(edit_number(text), low, high);
}

std::uint8_t byte_edit(const std::string& text) {
    return static_cast<std::uint8_t>(clamped(text, 0, 255));
}

std::uint8_t byte_list(ListTable list, int index) {
    return static_cast<std::uint8_t>(value_at(list, index));
}

}  // namespace

int row_of(ListTable table, std::uint16_t value) {
    const auto row = list_row(table, value);
    return row ? static_cast<int>(*row) : kNoSelection;
}

std::uint16_t value_at(ListTable table, int row) {
    if (row < 0) {
        return 0;
    }
    return list_value_at(table, static_cast<std::size_t>(row));
}

std::uint32_t edit_number(std::string_view text) {
    std::size_t i = text.find_first_not_of(" \t");
    std::uint64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<std::uint64_t>(value * 10 + static_cast<unsigned>(text[i] - '0'),
                                        std::numeric_limits<std::uint32_t>::max());
    }
    return static_cast<std::uint32_t>(value);
}

EditorForm form_of(const StateRecord& s, const StateDefaults& defaults) {
    EditorForm f;
    for (std::size_t i = 0; i < kValveCount; ++i) {
        f.valves[i] = (s.valve_mask >> i) & 1U;
    }
    for (std::size_t i = 0; i < kLedCount; ++i) {
        // Only On and Off are offered; a drive current someone else stored shows as On.
        f.leds[i] = row_of(kLedList, s.led_drive[i] != kLedOff ? kLedOn : kLedOff);
    }
    show_led_currents(f, defaults);
    f.hall_power = s.hall_power != 0;
    f.photodiode_power = s.photodiode_power != 0;
    f.pump_on = s.pump_on != 0;
    f.direction = row_of(kPumpDirectionList, s.pump_direction);
    f.winding_current = number_text(s.winding_current_ma);
    f.step_period = number_text(s.step_period_us);
    f.microstep = row_of(kMicrostepList, s.microstep_code);
    f.stop_mode = row_of(kPumpStopList, s.pump_stop_mode);
    f.hall_stop_inject = number_text(defaults.hall_stop_inject);
    f.hall_stop_withdraw = number_text(defaults.hall_stop_withdraw);
    f.pump_timeout = number_text(s.pump_timeout_s);
    f.pump_timeout_next = number_text(s.pump_timeout_next);
    f.step_count = std::string(kStepCountText);
    f.state_switch = row_of(kStateSwitchList, s.state_switch);
    f.send_sync = s.sync_value != 0;
    f.sync_value = number_text(s.sync_value);
    f.default_next = number_text(s.default_next);
    for (std::size_t k = 0; k < kCounterCount; ++k) {
        const Counter& c = s.counter[k];
        f.counters[k] = {row_of(kCounterModeList, c.mode), number_text(c.increment),
                         number_text(c.limit), number_text(c.next_state)};
    }
    f.dive = {row_of(kDiveLevelList, s.dive_trigger.level), number_text(s.dive_trigger.next_state)};
    f.climb = {row_of(kClimbLevelList, s.climb_trigger.level),
               number_text(s.climb_trigger.next_state)};
    f.wait_for_schedule = s.delay_mode != kDelaySeconds;
    f.delay_s = number_text(s.delay_s);
    f.power_mode = row_of(kPowerModeList, s.power_mode);
    return f;
}

void show_led_currents(EditorForm& form, const StateDefaults& defaults) {
    for (std::size_t i = 0; i < kLedCount; ++i) {
        const bool on = value_at(kLedList, form.leds[i]) == kLedOn;
        form.led_current[i] = milliamp_text(on ? defaults.led_current_ua[i] : 0);
    }
}

StateRecord record_of(const EditorForm& f) {
    StateRecord s;
    for (std::size_t i = 0; i < kValveCount; ++i) {
        if (f.valves[i]) {
            s.valve_mask = static_cast<std::uint16_t>(s.valve_mask | (1U << i));
        }
    }
    for (std::size_t i = 0; i < kLedCount; ++i) {
        s.led_drive[i] = static_cast<std::uint16_t>(value_at(kLedList, f.leds[i]));
    }
    s.hall_power = f.hall_power ? 1 : 0;
    s.photodiode_power = f.photodiode_power ? 1 : 0;
    s.pump_on = f.pump_on ? 1 : 0;
    s.pump_direction = byte_list(kPumpDirectionList, f.direction);
    s.winding_current_ma = static_cast<std::uint16_t>(clamped(f.winding_current, 10, 1600));
    s.step_period_us = clamped(f.step_period, 2, 131071);
    s.microstep_code = byte_list(kMicrostepList, f.microstep);
    s.pump_stop_mode = byte_list(kPumpStopList, f.stop_mode);
    // Each stop mode reads only its own edits; the Hall stop values stay the sensor's defaults.
    switch (s.pump_stop_mode) {
        case kStopOnHall:
            s.pump_timeout_s = edit_number(f.pump_timeout);
            s.pump_timeout_next = byte_edit(f.pump_timeout_next);
            break;
        case kStopOnStepCount:
            s.step_count = edit_number(f.step_count);
            break;
        default:
            s.pump_timeout_s = edit_number(f.pump_timeout);
            break;
    }
    s.state_switch = byte_list(kStateSwitchList, f.state_switch);
    s.sync_value = f.send_sync ? byte_edit(f.sync_value) : 0;
    s.default_next = byte_edit(f.default_next);
    for (std::size_t k = 0; k < kCounterCount; ++k) {
        const CounterControls& c = f.counters[k];
        s.counter[k] = {byte_edit(c.increment), byte_edit(c.limit), byte_edit(c.next_state),
                        byte_list(kCounterModeList, c.mode)};
    }
    s.dive_trigger.level = byte_list(kDiveLevelList, f.dive.level);
    s.dive_trigger.next_state = byte_edit(f.dive.next_state);
    s.climb_trigger.level = byte_list(kClimbLevelList, f.climb.level);
    s.climb_trigger.next_state = byte_edit(f.climb.next_state);
    s.delay_mode = f.wait_for_schedule ? kDelaySchedule : kDelaySeconds;
    if (!f.wait_for_schedule) {
        s.delay_s = edit_number(f.delay_s);
    }
    s.power_mode = byte_list(kPowerModeList, f.power_mode);
    return s;
}

void apply_hall_coupling(EditorForm& form) {
    if (form.pump_on && value_at(kPumpStopList, form.stop_mode) == kStopOnHall) {
        form.hall_power = true;
    }
}

EditorEnabling enabling_of(const EditorForm& f, bool connected, std::uint16_t current,
                           std::uint16_t last_index) {
    // Every rule follows the value the control would store, so an unselected list counts as 0.
    EditorEnabling e;
    e.next = current < last_index;
    e.previous = current > 0;
    e.save_to_sensor = connected;
    e.refresh = connected;

    const auto power = value_at(kPowerModeList, f.power_mode);
    const bool operating = power == kPowerOperating;
    const bool waits = operating || power == kPowerSleeping;
    e.delay_choice = waits;
    e.delay_s = waits && !f.wait_for_schedule;
    e.schedule = waits && f.wait_for_schedule && connected;
    e.default_next = waits;
    if (!operating) {
        return e;
    }

    e.valves = true;
    e.leds = true;
    e.supplies = true;
    e.pump_on = true;
    e.state_switch = true;
    e.send_sync = true;
    e.sync_value = f.send_sync;
    if (f.pump_on) {
        const auto stop = value_at(kPumpStopList, f.stop_mode);
        e.pump_settings = true;
        e.pump_timeout = stop == kStopOnHall || stop == kStopOnTime;
        e.pump_timeout_next = stop == kStopOnHall;
    }
    for (std::size_t k = 0; k < kCounterCount; ++k) {
        const auto mode = value_at(kCounterModeList, f.counters[k].mode);
        const bool testing = mode == kCounterIncAndTest;
        e.counters[k] = {true, mode != kCounterReset, testing, testing};
    }
    e.dive_level = true;
    e.dive_next = value_at(kDiveLevelList, f.dive.level) != 0;
    e.climb_level = true;
    e.climb_next = value_at(kClimbLevelList, f.climb.level) != 0;
    return e;
}

}  // namespace kelpira::statemachine
