// The image's defaults, snapshot and normalisation.
#include "statemachine/state_machine_image.hpp"

#include <algorithm>

namespace kelpira::statemachine {

namespace {

void normalise_trigger(DepthTrigger& t) {
    if (t.level > 3) {
        t = DepthTrigger{};
    }
}

}  // namespace

void take_snapshot(StateMachineImage& image) {
    image.snapshot = image.states;
    image.snapshot_last_index = image.last_index;
}

bool matches_snapshot(const StateMachineImage& image) {
    if (image.last_index != image.snapshot_last_index) {
        return false;
    }
    const auto end = image.states.begin() + image.state_count();
    return std::equal(image.states.begin(), end, image.snapshot.begin());
}

void new_default_state(StateMachineImage& image, std::size_t index) {
    const StateDefaults& d = image.state_defaults;
    StateRecord s;
    s.normalised = 1;
    s.led_drive.fill(kLedOn);
    s.hall_power = d.hall_power;
    s.photodiode_power = d.photodiode_power;
    s.winding_current_ma = d.winding_current_ma;
    s.step_period_us = d.step_period_us;
    s.microstep_code = d.microstep_code;
    s.pump_stop_mode = d.pump_stop_mode;
    s.step_count = d.step_count;
    s.pump_timeout_s = d.pump_timeout_s;
    s.pump_on = 0;
    s.pump_direction = 1;
    const auto next = static_cast<std::uint8_t>(index == image.last_index ? index : index + 1);
    s.pump_timeout_next = next;
    s.default_next = next;
    s.state_switch = kSwitchOn;
    s.delay_s = 1;
    s.delay_mode = kDelaySeconds;
    s.power_mode = kPowerOperating;
    image.states.at(index) = s;
}

void normalise(StateRecord& s) {
    if (s.normalised == 0) {
        for (auto& led : s.led_drive) {
            if (led != 0) {
                led = kLedOn;
            }
        }
        s.hall_stop_inject = 0;
        s.hall_stop_withdraw = 0;
        if (s.state_switch == kSwitchUnset) {
            s.state_switch = kSwitchOn;
        }
        normalise_trigger(s.dive_trigger);
        normalise_trigger(s.climb_trigger);
    }
    s.normalised = 1;
}

void normalise_image(StateMachineImage& image) {
    for (std::size_t i = 0; i <= image.last_index; ++i) {
        normalise(image.states[i]);
    }
}

void clear_image(StateMachineImage& image) {
    image.states.fill(StateRecord{});
    image.last_index = 0;
    image.current = 0;
    new_default_state(image, 0);
    take_snapshot(image);
}

}  // namespace kelpira::statemachine
