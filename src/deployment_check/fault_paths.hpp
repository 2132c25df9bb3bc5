// The Deploy dry run walked again with each fault that can happen at sea: the pump's Hall
// stop timing out in a state that runs the pump, and each depth trigger firing. A fault is
// taken the first time the run leaves its state (as the editor simulates a pump time-out),
// with the counters as they are then; the run goes on from the state the fault names.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "deployment_check/program_references.hpp"
#include "deployment_check/program_walk.hpp"

namespace kelpira::deployment_check {

// Steps all fault walks of one check may take together; the faults left when they are spent
// are not walked (undecided). Walks from the same state with the same counters are shared.
inline constexpr std::size_t kFaultStepBudget = std::size_t{1} << 24;

struct FaultPath {
    Reference fault;  // a pump_timeout or trigger reference of a state the run leaves
    // The run after the fault; nothing when the fault names a state the program does not
    // have, or when the budget was spent before it (`walked` false).
    std::optional<ProgramWalk> walk;
    bool walked = true;
};

std::vector<FaultPath> fault_paths(const statemachine::StateMachineImage& image,
                                   const ProgramWalk& run, std::size_t budget = kFaultStepBudget);

// "after a pump time-out in state 5", "after the diving trigger in state 5", "after the
// climbing trigger in state 5".
std::string fault_text(const Reference& fault);

// The repeating part of a loop with its first state again: "4 → 4", "3 → 5 → 3"; a long
// round is cut: "0 → 1 → 2 → 3 → 4 → 5 → … → 0 (120 states a round)".
std::string round_text(const ProgramWalk& walk);

// True when a loop's repeating part enters `marker`, the sample measurement state.
bool round_measures(const ProgramWalk& walk, std::uint8_t marker);

// A loop whose round does not measure: "from cycle 1 on, the program repeats states 4 → 4
// and never measures again", counting the measurements before the round; "the program
// never measures (state 2): it repeats states 4 → 4" when there are none.
std::string never_measures_again(const ProgramWalk& walk, std::uint8_t marker);

}  // namespace kelpira::deployment_check
