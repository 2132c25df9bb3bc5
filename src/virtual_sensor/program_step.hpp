// How the sensor's firmware leaves a state of its program, written from the state record's
// documented meaning and not from the editor's dry run: the emulator is a second account of the
// device, so a fault in the PC's walk shows when a test runs one against the other.
#pragma once

#include <array>
#include <cstdint>

#include "statemachine/state_record.hpp"

namespace kelpira::virtual_sensor {

// What the firmware carries from state to state while a program runs.
struct StepMemory {
    std::array<std::uint8_t, statemachine::kCounterCount> counters{};  // 8-bit, wrap around
    // The state whose Hall stop is made to time out, once; 255 = none.
    std::uint8_t pump_timeout_state = 255;
};

// True when the sensor stops its program on entering `s`: idle and hibernating states.
bool stops_program(const statemachine::StateRecord& s);

// The state that follows `s` (state `index`): its default next state, unless one of its
// counters expires (the last expiring counter wins) or its pump times out (which wins over
// every counter). Updates the counters.
std::uint8_t state_after(const statemachine::StateRecord& s, std::uint8_t index,
                         StepMemory& memory);

}  // namespace kelpira::virtual_sensor
