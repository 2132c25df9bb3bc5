// THE state transition of a state-machine program on the PC: which state follows when a state
// is left, with the six 8-bit counters and the simulated pump time-out. The editor's dry run and
// the deployment check step programs with this one function; the virtual sensor keeps its own
// account of the firmware's step (virtual_sensor/program_step), so a test that runs a program on
// it checks this function against a second account.
//
// Leaving state p:
//   1. the next state starts as p.default_next;
//   2. counters k = 1..6 in order: "Reset" sets counter k to 0; "Inc & Test" adds the
//      increment (8-bit) and, when the counter then exceeds the limit, makes the counter's
//      next_state the next state and zeroes the counter; any other mode adds the increment.
//      A later counter that fires overrides an earlier one;
//   3. when the pump time-out is simulated on p, the next state is p.pump_timeout_next and the
//      simulation is switched off (it fires once).
// Idle and hibernating states are not left: a walk ends there (see `ends_walk`). Depth
// triggers are not simulated.
#pragma once

#include <array>
#include <cstdint>

#include "statemachine/state_record.hpp"

namespace kelpira::statemachine {

inline constexpr std::uint8_t kNoPumpTimeout = 255;  // no simulated pump time-out

// What a running program carries from state to state.
struct WalkState {
    std::array<std::uint8_t, kCounterCount> counters{};
    std::uint8_t pump_timeout_state = kNoPumpTimeout;  // the state whose pump times out, once
};

// True for the power modes in which the program stays put: idle and hibernating.
bool ends_walk(const StateRecord& s);

// Leaves `s`, which is state `index`, and returns the next state (0..255; the caller checks
// that it exists). Updates the counters and switches the pump time-out simulation off when it
// fires.
std::uint8_t leave_state(const StateRecord& s, std::uint8_t index, WalkState& walk);

}  // namespace kelpira::statemachine
