// How the modelled water changes from one measurement cycle to the next: a slow tide, one
// spike (a bubble through the cell) and a stuck run (each cycle reads as the run's first did,
// the same water and the same photodiode noise), so that a rehearsal gives the quality flags
// something to find.
#pragma once

#include <cstdint>

namespace kelpira::virtual_sensor {

struct CycleAnomaly {
    // The value rises and falls by this much (the model's unit) over kTideCycles cycles.
    double tide = 0;
    std::uint32_t spike_cycle = 0;  // counted from 1; 0: no spike
    double spike_size = 0;
    std::uint32_t stuck_from = 0;  // counted from 1; 0: never stuck
    std::uint32_t stuck_cycles = 0;
};

inline constexpr std::uint32_t kTideCycles = 12;

// True when cycle `cycle` (from 1) is one of the stuck run's.
bool stuck_in(const CycleAnomaly& a, std::uint32_t cycle);

// The value the sample holds in cycle `cycle` (from 1), when it would hold `base` on a calm
// day: stuck cycles repeat the value of the run's first cycle.
double cycle_value(const CycleAnomaly& a, double base, std::uint32_t cycle);

}  // namespace kelpira::virtual_sensor
