// The dry-run walk with its repeat detection.
#include "deployment_check/program_walk.hpp"

#include <unordered_map>

#include "statemachine/state_transition.hpp"

namespace kelpira::deployment_check {

namespace {

// The state and the six 8-bit counters: everything the next step depends on.
std::uint64_t point_of(std::uint8_t state, const statemachine::WalkState& walk) {
    std::uint64_t key = state;
    for (const std::uint8_t c : walk.counters) {
        key = key << 8 | c;
    }
    return key;
}

}  // namespace

ProgramWalk walk_program(const statemachine::StateMachineImage& image, std::uint8_t start) {
    ProgramWalk out;
    out.start = start;
    statemachine::WalkState walk;
    std::unordered_map<std::uint64_t, std::size_t> seen;
    std::uint8_t state = start;
    while (true) {
        const auto [at, fresh] = seen.emplace(point_of(state, walk), out.path.size());
        if (!fresh) {
            out.end = WalkEnd::loops;
            out.loop_start = at->second;
            return out;
        }
        out.path.push_back(state);
        const statemachine::StateRecord& s = image.states[state];
        if (statemachine::ends_walk(s)) {
            out.end =
                s.power_mode == statemachine::kPowerIdle ? WalkEnd::idle : WalkEnd::hibernating;
            return out;
        }
        if (out.path.size() >= kWalkStepLimit) {
            out.end = WalkEnd::loops;
            out.loop_start = 0;
            return out;
        }
        const std::uint8_t next = statemachine::leave_state(s, state, walk);
        if (next > image.last_index) {
            out.end = WalkEnd::invalid_reference;
            out.invalid_state = next;
            return out;
        }
        state = next;
    }
}

}  // namespace kelpira::deployment_check
