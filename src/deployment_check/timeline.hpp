// The deployment in time: the program's dry run from the start state the deployment uses,
// stepped through the sensor's clock from the deployment's start as the sensor runs it (a
// state lasts its delay, or until the next measurement time when it waits for the schedule;
// a pump that stops on time keeps its state until it stops), so that a cycle that overruns
// its interval measures at the pace the sensor really keeps. The items about the program,
// the schedule, the cycle, the reagents and the battery all read this one timeline.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "deployment_check/check_inputs.hpp"
#include "deployment_check/program_walk.hpp"
#include "records/clock_records.hpp"

namespace kelpira::deployment_check {

// Why measuring ends.
enum class TimelineEnd { deployment, program, schedule_stop, reagent, battery, never };

using ValveCounts = std::array<double, statemachine::kValveCount>;

struct Timeline {
    std::string start_label;  // "Deploy" or "Automatic Deployment"
    std::uint8_t start_state = 0;
    std::int64_t start_s = 0;                 // the deployment's start, schedule seconds
    std::optional<std::int64_t> end_s;        // its end, with a length
    std::optional<std::uint64_t> interval_s;  // the schedule's, when the program waits for it
    std::optional<std::int64_t> stop_s;       // the schedule's stop time, when set

    bool loops = false;
    // A cycle starts at an entry of the sample measurement state after a wait for the schedule
    // (at every entry when the run does not wait). In the repeating part of a loop:
    double round_s = 0;  // how long one round takes in the water
    double cycles_per_round = 0;
    double work_s = 0;  // one cycle's states without the waits for the schedule
    // Seconds from one cycle to the next at sea; nothing when the run makes no timed cycle.
    std::optional<double> pace_s;
    // Intervals one cycle spans when it overruns its interval (then the pace is that many
    // intervals); 1 otherwise.
    std::uint64_t intervals_per_cycle = 1;

    // Cycles of the whole run (a run that ends) or until the walk stopped (undecided).
    std::uint64_t run_cycles = 0;
    double run_s = 0;  // from the start to the run's end (or as far as the walk went)

    // Pump strokes per cycle through each valve, by direction, and before the first round.
    ValveCounts inject_per_cycle{};
    ValveCounts withdraw_per_cycle{};
    ValveCounts inject_before{};
    ValveCounts withdraw_before{};
    // Pump strokes through each valve per cycle of a run that ends (or was cut short).
    ValveCounts per_run_cycle{};
    // A run that ends: all its strokes.
    ValveCounts inject_run{};
    ValveCounts withdraw_run{};

    // Over the deployment (or until measuring ends without a length):
    std::uint64_t cycles = 0;
    std::optional<std::int64_t> last_cycle_s;  // when the last cycle starts
    TimelineEnd end = TimelineEnd::never;
    std::optional<std::int64_t> ends_s;  // when measuring ends, before the deployment does
};

struct TimelineSchedule {
    std::optional<std::uint64_t> interval_s;  // nothing: unknown; 0: continuously
    std::int64_t start_s = 0;
    std::optional<std::int64_t> stop_s;
};

// The timeline of `walk` (from its start state) for the deployment `in` starting at
// `start_s`. `marker` is the sample measurement state. Reagent and battery limits are not
// applied here (see apply_limits).
Timeline make_timeline(const statemachine::StateMachineImage& image, const ProgramWalk& walk,
                       std::uint8_t marker, const TimelineSchedule& schedule, std::int64_t start_s,
                       std::optional<double> days);

// Microlitres per cycle drawn through `valve`, and before the first round.
double per_cycle_ul(const Timeline& t, std::size_t valve, const StrokeVolume& stroke);
double before_ul(const Timeline& t, std::size_t valve, const StrokeVolume& stroke);
double run_ul(const Timeline& t, std::size_t valve, const StrokeVolume& stroke);

// Days until `volume_ml` through `valve` is spent; nothing when the valve is not drawn from
// (or a run that ends never spends it).
std::optional<double> reagent_days(const Timeline& t, std::size_t valve, double volume_ml,
                                   const StrokeVolume& stroke);

// Days until the battery is spent; nothing without the three energy inputs or a pace.
std::optional<double> battery_days(const Timeline& t, const CheckInputs& in);

// Ends the timeline early when a reagent or the battery runs out before it would end.
void apply_limits(Timeline& t, const CheckInputs& in);

}  // namespace kelpira::deployment_check
