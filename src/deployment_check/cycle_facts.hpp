// What a Deploy dry run says about one measurement cycle: how often the sample measurement
// state is entered, how long the states between two entries wait, whether the program waits
// for the schedule, and how many pump strokes go through each valve.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "deployment_check/program_walk.hpp"

namespace kelpira::deployment_check {

struct CycleFacts {
    std::uint8_t marker = 0;  // the sample measurement state
    // Entries of the marker: in one round of a loop, or on the whole path of a run that ends.
    std::size_t cycles = 0;
    // The longest time between two entries, counting each state's delay but not a wait for
    // the next measurement time; and the average. Nothing when no two entries follow each
    // other (a loop's single entry per round is followed by itself).
    std::optional<std::uint64_t> longest_s;
    double mean_s = 0;
    // A state of the round (or of the run from its first measurement) waits for the next
    // measurement time.
    bool waits_for_schedule = false;
    // Pump strokes through each valve: one per entry of an operating state that runs the
    // pump, through every valve open in it. In the round (or the whole run), and before the
    // round starts.
    std::array<std::uint64_t, statemachine::kValveCount> strokes{};
    std::array<std::uint64_t, statemachine::kValveCount> strokes_before{};
};

CycleFacts cycle_facts(const statemachine::StateMachineImage& image, const ProgramWalk& walk,
                       std::uint8_t marker);

}  // namespace kelpira::deployment_check
