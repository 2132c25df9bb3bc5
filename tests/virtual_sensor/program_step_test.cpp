// The firmware's step from state to state, with the exits worked out by hand.
#include "virtual_sensor/program_step.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace kelpira::virtual_sensor {
namespace {

using statemachine::Counter;
using statemachine::kCounterIncAndTest;
using statemachine::kCounterIncOnly;
using statemachine::kCounterReset;

statemachine::StateRecord state(std::uint8_t default_next) {
    statemachine::StateRecord s;
    s.default_next = default_next;
    s.pump_timeout_next = 40;
    return s;
}

TEST(ProgramStep, SuccessiveExitsOfOneState) {
    struct Case {
        const char* what;
        std::vector<Counter> counters;  // counters 1.. of the state, {increment, limit, next, mode}
        std::uint8_t pump_timeout_state;
        std::vector<std::uint8_t> exits;  // the state after each exit of state 5
    };
    const std::vector<Case> cases{
        {"no counter", {}, 255, {7, 7, 7}},
        // 1, 2, 3 > 2: the third exit fires and zeroes the counter.
        {"inc & test", {{1, 2, 9, kCounterIncAndTest}}, 255, {7, 7, 9, 7, 7, 9}},
        // Counter 1 fires each time, counter 3 too: the later one wins.
        {"later counter wins",
         {{5, 0, 3, kCounterIncAndTest}, {}, {5, 0, 4, kCounterIncAndTest}},
         255,
         {4, 4}},
        // A reset counter never sends the program anywhere.
        {"reset", {{}, {0, 0, 9, kCounterReset}}, 255, {7, 7}},
        // Counter 2 counts in 8 bits: 100, 200, 44 (300 - 256), 144, then 244 > 200 fires.
        {"counter wraps",
         {{100, 200, 9, kCounterIncOnly}, {100, 200, 8, kCounterIncAndTest}},
         255,
         {7, 7, 7, 7, 8}},
        // The pump of state 5 times out once, over the counter that fires on the same exit.
        {"pump time-out", {{1, 0, 9, kCounterIncAndTest}}, 5, {40, 9, 9}},
        {"time-out elsewhere", {}, 6, {7, 7}},
    };
    for (const auto& c : cases) {
        auto s = state(7);
        for (std::size_t k = 0; k < c.counters.size(); ++k) {
            s.counter[k] = c.counters[k];
        }
        StepMemory memory;
        memory.pump_timeout_state = c.pump_timeout_state;
        std::vector<std::uint8_t> exits;
        for (std::size_t i = 0; i < c.exits.size(); ++i) {
            exits.push_back(state_after(s, 5, memory));
        }
        EXPECT_EQ(exits, c.exits) << c.what;
    }
}

TEST(ProgramStep, IdleAndHibernatingStatesStopTheProgram) {
    auto s = state(1);
    for (const auto& [mode, stops] : {std::pair{0, false}, {1, false}, {2, true}, {3, true}}) {
        s.power_mode = static_cast<std::uint8_t>(mode);
        EXPECT_EQ(stops_program(s), stops) << mode;
    }
}

}  // namespace
}  // namespace kelpira::virtual_sensor
