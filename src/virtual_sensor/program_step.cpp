// The firmware's step from one state of its program to the next.
#include "virtual_sensor/program_step.hpp"

namespace kelpira::virtual_sensor {

bool stops_program(const statemachine::StateRecord& s) {
    return s.power_mode == statemachine::kPowerIdle ||
           s.power_mode == statemachine::kPowerHibernating;
}

std::uint8_t state_after(const statemachine::StateRecord& s, std::uint8_t index,
                         StepMemory& memory) {
    std::uint8_t next = s.default_next;
    for (std::size_t k = 0; k < memory.counters.size(); ++k) {
        const auto& counter = s.counter[k];
        auto& value = memory.counters[k];
        switch (counter.mode) {
            case statemachine::kCounterReset:
                value = 0;
                break;
            case statemachine::kCounterIncAndTest:
                value = static_cast<std::uint8_t>(value + counter.increment);
                if (value > counter.limit) {
                    value = 0;
                    next = counter.next_state;
                }
                break;
            default:
                value = static_cast<std::uint8_t>(value + counter.increment);
                break;
        }
    }
    // The counters count on every exit, a timed-out pump included.
    if (memory.pump_timeout_state == index) {
        memory.pump_timeout_state = 255;
        return s.pump_timeout_next;
    }
    return next;
}

}  // namespace kelpira::virtual_sensor
