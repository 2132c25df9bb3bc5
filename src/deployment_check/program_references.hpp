// Every reference a program's states make (default next state, each testing counter's next
// state, the pump time-out's, the two depth triggers'), whether it names a state the program
// has, and which states no start state reaches along any of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "statemachine/state_machine_image.hpp"

namespace kelpira::deployment_check {

enum class ReferenceKind { default_next, counter, pump_timeout, dive_trigger, climb_trigger };

struct Reference {
    std::uint8_t from = 0;
    ReferenceKind kind = ReferenceKind::default_next;
    std::uint8_t counter = 0;  // counter: 1..6
    std::uint8_t to = 0;

    bool operator==(const Reference&) const = default;
};

// The references that can be taken: none from an idle or hibernating state (it is not
// left); a counter's only in "Inc & Test" mode; the pump time-out's only in an operating
// state that runs the pump until its Hall sensors stop it; a trigger's only with a level.
std::vector<Reference> references_of(const statemachine::StateMachineImage& image);

// "default next state", "counter 2 next state", "pump time-out next state", "diving trigger
// next state", "climbing trigger next state".
std::string field_name(const Reference& r);

// The states of the program that no path from any of `starts` reaches, in order; a start
// past the last state reaches nothing.
std::vector<std::uint8_t> unreachable_states(const statemachine::StateMachineImage& image,
                                             const std::vector<std::uint8_t>& starts);

}  // namespace kelpira::deployment_check
