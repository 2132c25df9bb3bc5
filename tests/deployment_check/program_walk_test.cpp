// The dry-run walk: how it ends, where a loop's round starts, and how far it looks.
#include <gtest/gtest.h>

#include "deployment_check/check_fixture.hpp"
#include "deployment_check/program_walk.hpp"

namespace kelpira::deployment_check::testing {
namespace {

// A 255-state program whose states run in order; state `last` goes back to `back` until its
// counter `counter` (1..6) has counted 255 returns, then on to `last` + 1. `levels` such
// returns are nested, each one state below the next; state 254 is idle.
statemachine::StateMachineImage nested(std::size_t levels) {
    statemachine::StateMachineImage image;
    image.last_index = statemachine::kMaxLastIndex;
    for (std::size_t i = 0; i < statemachine::kMaxStates; ++i) {
        image.states[i] = state(static_cast<std::uint8_t>(i + 1), 1);
    }
    image.states[254].power_mode = statemachine::kPowerIdle;
    for (std::size_t k = 0; k < levels; ++k) {
        auto& s = image.states[254 - levels + k];
        s.default_next = 0;
        s.counter[k] = {1, 254, static_cast<std::uint8_t>(255 - levels + k),
                        statemachine::kCounterIncAndTest};
    }
    return image;
}

TEST(ProgramWalk, EndsLoopsOrGivesUp) {
    statemachine::StateMachineImage image;
    image.last_index = 4;
    image.states[0] = state(1, 1);
    image.states[1] = state(2, 1);
    image.states[2] = state(3, 1);
    image.states[3] = state(2, 1);  // 2 → 3 → 2 …, counting in counter 1
    image.states[3].counter[0] = {1, 0, 2, statemachine::kCounterIncOnly};
    image.states[4] = state(9, 1);
    auto w = walk_program(image, 0);
    EXPECT_EQ(w.end, WalkEnd::loops);
    // The counter comes back to its value after 256 rounds of two states.
    EXPECT_EQ(w.loop_start, 2u);
    EXPECT_EQ(w.path.size(), 2u + 512u);
    EXPECT_EQ(w.first_leave[3], (Counters{1, 0, 0, 0, 0, 0}));

    w = walk_program(image, 4);
    EXPECT_EQ(w.end, WalkEnd::invalid_reference);
    EXPECT_EQ(w.invalid_state, 9u);

    // An outer round is 255 inner rounds of states 0..252 and state 253: 255 x 253 + 1 =
    // 64 516 states; 255 outer rounds and the idle state 254: 16 451 581 states entered.
    w = walk_program(nested(2), 0);
    EXPECT_EQ(w.end, WalkEnd::idle);
    EXPECT_EQ(w.path.size(), 16451581u);

    w = walk_program(nested(4), 0);
    EXPECT_EQ(w.end, WalkEnd::undecided);
    EXPECT_EQ(w.path.size(), kWalkStepLimit);
}

}  // namespace
}  // namespace kelpira::deployment_check::testing
