// The dry run of a program from one start state, kept as the path it takes. It steps with the
// one state transition the editor's dry run and the sensor share, and follows the program
// until it stops (idle or hibernating), names a state the program does not have, or comes
// back to a point it has been at: the same state with the same counters, from where it
// repeats for ever. The editor gives up after 1000 rows; finding the repeat instead tells a
// loop from a long run and shows the loop's whole round, counters included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "statemachine/state_machine_image.hpp"

namespace kelpira::deployment_check {

enum class WalkEnd { idle, hibernating, invalid_reference, loops };

// States entered before the walk gives up looking for a repeat (counters can make a round
// long); it then counts as a loop whose round is the whole path.
inline constexpr std::size_t kWalkStepLimit = 100000;

struct ProgramWalk {
    std::uint8_t start = 0;
    std::vector<std::uint8_t> path;  // the states entered in order, the start first
    WalkEnd end = WalkEnd::loops;
    std::uint32_t invalid_state = 0;  // invalid_reference: the state named, past the last one
    std::size_t loop_start = 0;       // loops: path[loop_start..] repeats for ever

    bool operator==(const ProgramWalk&) const = default;
};

// `start` must be a state of the program (0..last_index). No pump time-out is simulated.
ProgramWalk walk_program(const statemachine::StateMachineImage& image, std::uint8_t start);

}  // namespace kelpira::deployment_check
