// Stepping the dry run through the sensor's clock, and the figures read from it.
#include "deployment_check/timeline.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "statemachine/state_transition.hpp"

namespace kelpira::deployment_check {

namespace {

using statemachine::StateRecord;

constexpr double kDayS = 86400;
constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

bool waits_for_schedule(const StateRecord& s) {
    return !statemachine::ends_walk(s) && s.delay_mode == statemachine::kDelaySchedule;
}

// The states of a stretch of the path stepped through time, with what they did.
struct Stepping {
    const statemachine::StateMachineImage& image;
    const TimelineSchedule& schedule;
    std::uint8_t marker = 0;
    bool cycles_wait = true;  // a cycle starts only at an entry after a wait
    std::int64_t now = 0;
    bool wait_seen = true;
    bool stopped = false;  // a wait for the schedule after its stop time: no more measuring
    std::uint64_t cycles = 0;
    std::int64_t work = 0;
    ValveCounts inject{};
    ValveCounts withdraw{};
    std::vector<std::int64_t> cycle_times;
    bool keep_times = false;
    std::int64_t first_work = 0;  // the work done when the first and the last cycle started
    std::int64_t last_work = 0;

    Stepping(const statemachine::StateMachineImage& program, const TimelineSchedule& times)
        : image(program), schedule(times) {}

    // The next measurement time from `t`, as the sensor finds it.
    std::int64_t next_measurement(std::int64_t t) const {
        const std::int64_t step = static_cast<std::int64_t>(schedule.interval_s.value_or(0));
        if (t <= schedule.start_s) {
            return schedule.start_s;
        }
        return step == 0 ? t : schedule.start_s + (t - schedule.start_s + step - 1) / step * step;
    }

    void enter(std::uint8_t index) {
        const StateRecord& s = image.states[index];
        if (index == marker && (!cycles_wait || wait_seen)) {
            ++cycles;
            wait_seen = false;
            first_work = cycles == 1 ? work : first_work;
            last_work = work;
            if (keep_times) {
                cycle_times.push_back(now);
            }
        }
        if (statemachine::ends_walk(s)) {
            return;
        }
        if (s.power_mode == statemachine::kPowerOperating && s.pump_on == 1) {
            auto& to = s.pump_direction == 0 ? inject : withdraw;
            for (std::size_t v = 0; v < statemachine::kValveCount; ++v) {
                if ((s.valve_mask >> v) & 1u) {
                    to[v] += 1;
                }
            }
        }
        std::int64_t seconds = s.delay_s;
        if (waits_for_schedule(s)) {
            const std::int64_t next = next_measurement(now);
            if (schedule.stop_s && next > *schedule.stop_s) {
                stopped = true;
                return;
            }
            seconds = next - now;
            wait_seen = true;
        }
        if (s.pump_on == 1 && s.pump_stop_mode == statemachine::kStopOnTime) {
            seconds = std::max<std::int64_t>(seconds, s.pump_timeout_s);
        }
        if (!waits_for_schedule(s)) {
            work += seconds;
        }
        now += seconds;
    }

    // Steps path[from..to); false when the schedule's stop ends it.
    bool run(const std::vector<std::uint8_t>& path, std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to && !stopped; ++i) {
            enter(path[i]);
        }
        return !stopped;
    }
};

ValveCounts per(const ValveCounts& counts, double n) {
    ValveCounts out{};
    for (std::size_t v = 0; v < out.size(); ++v) {
        out[v] = n > 0 ? counts[v] / n : 0;
    }
    return out;
}

// Cycles at `times` (and every `period` after, when it is positive) before `horizon`; the
// last of them.
void count_before(const std::vector<std::int64_t>& times, std::int64_t period, std::int64_t horizon,
                  std::uint64_t& cycles, std::optional<std::int64_t>& last) {
    for (const std::int64_t t : times) {
        if (t >= horizon) {
            continue;
        }
        std::int64_t k = 0;
        if (period > 0) {
            k = (horizon - 1 - t) / period;
        }
        cycles += static_cast<std::uint64_t>(k + 1);
        last = std::max(last.value_or(t), t + k * period);
    }
}

// A cycle longer than the interval waits for a later measurement time.
void set_overrun(Timeline& t) {
    if (t.pace_s && t.interval_s && *t.interval_s > 0 &&
        t.work_s > static_cast<double>(*t.interval_s)) {
        t.intervals_per_cycle = static_cast<std::uint64_t>(
            std::llround(*t.pace_s / static_cast<double>(*t.interval_s)));
    }
}

}  // namespace

Timeline make_timeline(const statemachine::StateMachineImage& image, const ProgramWalk& walk,
                       std::uint8_t marker, const TimelineSchedule& schedule, std::int64_t start_s,
                       std::optional<double> days) {
    Timeline t;
    t.start_state = walk.start;
    t.start_s = start_s;
    if (days) {
        t.end_s = start_s + static_cast<std::int64_t>(std::llround(*days * kDayS));
    }
    t.stop_s = schedule.stop_s;
    const auto& path = walk.path;
    t.loops = walk.end == WalkEnd::loops;
    const std::size_t round_from = t.loops ? walk.loop_start : 0;
    const bool waits =
        std::any_of(path.begin() + static_cast<std::ptrdiff_t>(round_from), path.end(),
                    [&](std::uint8_t s) { return waits_for_schedule(image.states[s]); });
    if (waits) {
        t.interval_s = schedule.interval_s;
    }
    // Without a length, measuring ends only at the schedule's stop or the program's end.
    const std::int64_t horizon = t.end_s.value_or(kNever);
    Stepping step{image, schedule};
    step.marker = marker;
    step.cycles_wait = waits;
    step.now = start_s;
    step.keep_times = true;
    if (!t.loops) {
        step.run(path, 0, path.size());
        t.run_cycles = step.cycles;
        t.run_s = static_cast<double>(step.now - start_s);
        t.inject_run = step.inject;
        t.withdraw_run = step.withdraw;
        count_before(step.cycle_times, 0, horizon, t.cycles, t.last_cycle_s);
        if (walk.end == WalkEnd::undecided) {
            t.end = TimelineEnd::never;
            return t;
        }
        const std::int64_t ended = step.stopped ? *schedule.stop_s : step.now;
        if (ended < horizon) {
            t.end = step.stopped ? TimelineEnd::schedule_stop : TimelineEnd::program;
            t.ends_s = ended;
        } else {
            t.end = TimelineEnd::deployment;
        }
        if (t.run_cycles > 0) {
            for (std::size_t v = 0; v < t.per_run_cycle.size(); ++v) {
                t.per_run_cycle[v] =
                    (step.inject[v] + step.withdraw[v]) / static_cast<double>(t.run_cycles);
            }
        }
        if (t.run_cycles >= 2) {
            const auto gaps = static_cast<double>(t.run_cycles - 1);
            const auto& times = step.cycle_times;
            t.pace_s = static_cast<double>(times.back() - times.front()) / gaps;
            t.work_s = static_cast<double>(step.last_work - step.first_work) / gaps;
            set_overrun(t);
        }
        return t;
    }
    // The part before the loop, then two rounds: from the second on, every round starts at the
    // same point of the schedule's interval, so it lasts as long and measures alike.
    const std::size_t n = path.size();
    bool going = step.run(path, 0, round_from);
    const std::int64_t loop_from = step.now;
    t.inject_before = step.inject;
    t.withdraw_before = step.withdraw;
    going = going && step.run(path, round_from, n);
    const std::int64_t second_from = step.now;
    const std::uint64_t cycles_before = step.cycles;
    const std::size_t times_before = step.cycle_times.size();
    const ValveCounts inject_before_round = step.inject;
    const ValveCounts withdraw_before_round = step.withdraw;
    const std::int64_t work_before = step.work;
    going = going && step.run(path, round_from, n);
    const std::vector<std::int64_t> early(
        step.cycle_times.begin(),
        step.cycle_times.begin() + static_cast<std::ptrdiff_t>(times_before));
    if (!going) {
        // The schedule's stop came within the first rounds.
        count_before(step.cycle_times, 0, std::min(horizon, *schedule.stop_s + 1), t.cycles,
                     t.last_cycle_s);
        t.run_cycles = step.cycles;
        t.end = *schedule.stop_s < horizon ? TimelineEnd::schedule_stop : TimelineEnd::deployment;
        if (t.end == TimelineEnd::schedule_stop) {
            t.ends_s = *schedule.stop_s;
        }
        return t;
    }
    t.round_s = static_cast<double>(step.now - second_from);
    t.cycles_per_round = static_cast<double>(step.cycles - cycles_before);
    if (t.cycles_per_round == 0) {
        // A round that never measures: measuring ends where the loop begins, not with the
        // deployment.
        count_before(early, 0, horizon, t.cycles, t.last_cycle_s);
        t.run_cycles = t.cycles;
        t.end = loop_from < horizon ? TimelineEnd::program : TimelineEnd::deployment;
        if (t.end == TimelineEnd::program) {
            t.ends_s = loop_from;
        }
        return t;
    }
    t.work_s = static_cast<double>(step.work - work_before);
    ValveCounts inject_round{};
    ValveCounts withdraw_round{};
    for (std::size_t v = 0; v < inject_round.size(); ++v) {
        inject_round[v] = step.inject[v] - inject_before_round[v];
        withdraw_round[v] = step.withdraw[v] - withdraw_before_round[v];
    }
    t.inject_per_cycle = per(inject_round, t.cycles_per_round);
    t.withdraw_per_cycle = per(withdraw_round, t.cycles_per_round);
    if (t.cycles_per_round > 0 && t.round_s > 0) {
        t.pace_s = t.round_s / t.cycles_per_round;
        t.work_s /= t.cycles_per_round;
        set_overrun(t);
    }
    // Measuring ends at the deployment's end or the schedule's stop, whichever comes first.
    std::int64_t until = horizon;
    t.end = t.end_s ? TimelineEnd::deployment : TimelineEnd::never;
    if (waits && schedule.stop_s && *schedule.stop_s < until) {
        until = *schedule.stop_s + 1;
        t.end = TimelineEnd::schedule_stop;
        t.ends_s = *schedule.stop_s;
    }
    if (until == kNever || t.round_s <= 0) {
        t.cycles = 0;
        return t;
    }
    count_before(early, 0, until, t.cycles, t.last_cycle_s);
    std::vector<std::int64_t> repeating(
        step.cycle_times.begin() + static_cast<std::ptrdiff_t>(times_before),
        step.cycle_times.end());
    count_before(repeating, static_cast<std::int64_t>(t.round_s), until, t.cycles, t.last_cycle_s);
    return t;
}

double per_cycle_ul(const Timeline& t, std::size_t valve, const StrokeVolume& stroke) {
    return t.inject_per_cycle[valve] * stroke.inject_ul +
           t.withdraw_per_cycle[valve] * stroke.withdraw_ul;
}

double before_ul(const Timeline& t, std::size_t valve, const StrokeVolume& stroke) {
    return t.inject_before[valve] * stroke.inject_ul +
           t.withdraw_before[valve] * stroke.withdraw_ul;
}

double run_ul(const Timeline& t, std::size_t valve, const StrokeVolume& stroke) {
    return t.inject_run[valve] * stroke.inject_ul + t.withdraw_run[valve] * stroke.withdraw_ul;
}

std::optional<double> reagent_days(const Timeline& t, std::size_t valve, double volume_ml,
                                   const StrokeVolume& stroke) {
    const double volume_ul = volume_ml * 1000;
    if (!t.loops) {
        const double used = run_ul(t, valve, stroke);
        if (used <= volume_ul || t.run_cycles == 0) {
            return std::nullopt;
        }
        // Spent evenly over the run's cycles.
        return volume_ul / used * t.run_s / kDayS;
    }
    const double cycle = per_cycle_ul(t, valve, stroke);
    if (!t.pace_s || cycle <= 0) {
        return std::nullopt;
    }
    const double left = std::max(0.0, volume_ul - before_ul(t, valve, stroke));
    return left / cycle * *t.pace_s / kDayS;
}

std::optional<double> battery_days(const Timeline& t, const CheckInputs& in) {
    if (!in.battery_wh || !in.cycle_wh || !in.sleep_w || !t.pace_s) {
        return std::nullopt;
    }
    const double per_day = *in.sleep_w * 24 + *in.cycle_wh * kDayS / *t.pace_s;
    return *in.battery_wh / per_day;
}

void apply_limits(Timeline& t, const CheckInputs& in) {
    std::optional<double> first;
    TimelineEnd why = t.end;
    if (in.stroke_ul) {
        for (const ReagentVolume& r : in.reagents) {
            const auto d = reagent_days(t, r.valve, r.ml, *in.stroke_ul);
            if (d && (!first || *d < *first)) {
                first = d;
                why = TimelineEnd::reagent;
            }
        }
    }
    if (const auto d = battery_days(t, in); d && (!first || *d < *first)) {
        first = d;
        why = TimelineEnd::battery;
    }
    if (!first) {
        return;
    }
    const auto at = t.start_s + static_cast<std::int64_t>(std::llround(*first * kDayS));
    if (at >= t.ends_s.value_or(t.end_s.value_or(kNever))) {
        return;
    }
    t.end = why;
    t.ends_s = at;
    // No cycle starts once it is spent: the loop's cycles before then, at its pace from the
    // first one.
    if (t.loops && t.pace_s && t.last_cycle_s && t.cycles > 0) {
        const double from =
            static_cast<double>(*t.last_cycle_s) - static_cast<double>(t.cycles - 1) * *t.pace_s;
        const double made = std::ceil((static_cast<double>(at) - from) / *t.pace_s);
        const auto cycles = static_cast<std::uint64_t>(std::max(0.0, made));
        if (cycles < t.cycles) {
            t.cycles = cycles;
            t.last_cycle_s.reset();
            if (cycles > 0) {
                t.last_cycle_s = static_cast<std::int64_t>(
                    std::llround(from + static_cast<double>(cycles - 1) * *t.pace_s));
            }
        }
    }
}

}  // namespace kelpira::deployment_check
