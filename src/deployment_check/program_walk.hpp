// The dry run of a program from one start state, kept as the path it takes. It steps with the
// one state transition the editor's dry run and the sensor share, and follows the program
// until it stops (idle or hibernating), names a state the program does not have, or comes
// back to a point it has been at: the same state with the same counters, from where it
// repeats for ever. The editor gives up after 1000 rows; finding the repeat instead tells a
// loop from a long run and shows the loop's whole round, counters included. The repeat is
// found by Brent's method, which keeps no table of the points seen: a walk costs a few
// nanoseconds a step and no memory beyond its path.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "statemachine/state_machine_image.hpp"
#include "statemachine/state_transition.hpp"

namespace kelpira::deployment_check {

// `undecided`: the step limit came before an end or a repeat.
enum class WalkEnd { idle, hibernating, invalid_reference, loops, undecided };

using Counters = std::array<std::uint8_t, statemachine::kCounterCount>;

// States entered before the walk gives up looking for an end or a repeat. A step costs about
// 5 ns, so the limit bounds a walk to about 80 ms. Two nested loops of 255 rounds each over a
// 255-state program (16.5 million states entered) just decide; this is beyond the check's
// 50 ms for everyday programs, which walk a few thousand states. Three nested counters of 255
// would need 4 billion states, which no limit within a check's time reaches: such a walk is
// undecided.
inline constexpr std::size_t kWalkStepLimit = std::size_t{1} << 24;

struct ProgramWalk {
    std::uint8_t start = 0;
    std::vector<std::uint8_t> path;  // the states entered in order, the start first
    WalkEnd end = WalkEnd::loops;
    std::uint32_t invalid_state = 0;  // invalid_reference: the state named, past the last one
    std::size_t loop_start = 0;       // loops: path[loop_start..] repeats for ever
    // The counters as each state was first left, for the fault paths that leave it otherwise.
    std::array<std::optional<Counters>, statemachine::kMaxStates> first_leave{};

    bool operator==(const ProgramWalk&) const = default;
};

// `start` must be a state of the program (0..last_index); `counters` are the counters on
// entering it. No pump time-out is simulated.
ProgramWalk walk_program(const statemachine::StateMachineImage& image, std::uint8_t start,
                         const Counters& counters = {}, std::size_t step_limit = kWalkStepLimit);

}  // namespace kelpira::deployment_check
