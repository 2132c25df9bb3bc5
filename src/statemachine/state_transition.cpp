// The one state transition of the dry run and the deployment check.
#include "statemachine/state_transition.hpp"

namespace kelpira::statemachine {

bool ends_walk(const StateRecord& s) {
    return s.power_mode == kPowerIdle || s.power_mode == kPowerHibernating;
}

std::uint8_t leave_state(const StateRecord& s, std::uint8_t index, WalkState& walk) {
    std::uint8_t next = s.default_next;
    for (std::size_t k = 0; k < kCounterCount; ++k) {
        const Counter& c = s.counter[k];
        std::uint8_t& value = walk.counters[k];
        if (c.mode == kCounterReset) {
            value = 0;
            continue;
        }
        value = static_cast<std::uint8_t>(value + c.increment);
        if (c.mode == kCounterIncAndTest && value > c.limit) {
            next = c.next_state;
            value = 0;
        }
    }
    if (walk.pump_timeout_state == index) {
        next = s.pump_timeout_next;
        walk.pump_timeout_state = kNoPumpTimeout;
    }
    return next;
}

}  // namespace kelpira::statemachine
