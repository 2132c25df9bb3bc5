// The schedule the program waits for, and one measurement cycle against its interval.
#include "config/schedule_time.hpp"
#include "deployment_check/check_texts.hpp"
#include "deployment_check/item_rules.hpp"

namespace kelpira::deployment_check {

namespace {

constexpr std::int64_t kDayS = 86400;

}  // namespace

std::optional<std::uint64_t> interval_seconds(const records::MeasurementSchedule& s) {
    switch (s.interval_kind) {
        case records::kMeasureContinuously:
            return 0;
        case records::kMeasureEveryHalfHour:
            return 1800;
        case records::kMeasureEveryNHours:
            return 3600 * std::uint64_t{s.interval_count};
        case records::kMeasureEveryNMinutes:
            return 60 * std::uint64_t{s.interval_count};
        default:
            return std::nullopt;
    }
}

std::string interval_text(const records::MeasurementSchedule& s) {
    const auto seconds = interval_seconds(s);
    if (!seconds) {
        return format("at an unknown interval (kind %u)", unsigned{s.interval_kind});
    }
    return *seconds == 0 ? "continuously" : "every " + duration_text(*seconds);
}

CheckItem schedule_item(const SensorReading& r, const ProgramAnalysis& a) {
    if (!a.program_waits) {
        return {"schedule", Verdict::skip,
                "No state of the program waits for the next measurement time."};
    }
    if (!r.schedule) {
        return {"schedule", Verdict::fail,
                format("The schedule could not be read (status=%d).", int{r.schedule.result})};
    }
    if (!r.next) {
        return {"schedule", Verdict::fail,
                format("The sensor's next measurement time could not be read (status=%d).",
                       int{r.next.result})};
    }
    const records::MeasurementSchedule& s = *r.schedule;
    const records::NextMeasurement& n = *r.next;
    if (n.stop_reached != 0) {
        return {"schedule", Verdict::fail,
                "The schedule's stop time " + config::schedule_time_text(s.stop_time) +
                    " has passed: the sensor answers that no further measurement follows."};
    }
    const auto interval = interval_seconds(s);
    const std::int64_t now = n.sensor_time;
    const std::int64_t ahead = std::int64_t{n.next_time} - now;
    const std::string next = config::schedule_time_text(n.next_time);
    if (!interval) {
        return {"schedule", Verdict::warn,
                "The schedule measures " + interval_text(s) + "; the next measurement is at " +
                    next + "."};
    }
    if (*interval > 0 && ahead > static_cast<std::int64_t>(*interval)) {
        return {"schedule", Verdict::warn,
                "The next measurement at " + next + " is " +
                    duration_text(static_cast<std::uint64_t>(ahead)) + " after the sensor's time " +
                    config::schedule_time_text(n.sensor_time) + ", more than one interval (" +
                    duration_text(*interval) + ")."};
    }
    if (std::int64_t{s.start_time} - now > kDayS) {
        return {"schedule", Verdict::warn,
                "Measuring starts at " + config::schedule_time_text(s.start_time) +
                    ", more than a day after the sensor's time " +
                    config::schedule_time_text(n.sensor_time) + "."};
    }
    std::string text = "The next measurement is at " + next + ", measuring " + interval_text(s) +
                       " from " + config::schedule_time_text(s.start_time);
    if (s.stop_enabled != 0) {
        text += " until " + config::schedule_time_text(s.stop_time);
    }
    return {"schedule", Verdict::pass, text + "."};
}

CheckItem cycle_item(const ProgramAnalysis& a) {
    if (!a.cycle) {
        return {"cycle", Verdict::skip,
                "There is no Deploy dry run to time a measurement cycle on."};
    }
    const CycleFacts& c = *a.cycle;
    if (!c.longest_s) {
        return {"cycle", Verdict::skip,
                format("The Deploy dry run does not enter the sample measurement state (%u) "
                       "twice, so no cycle can be timed.",
                       unsigned{c.marker})};
    }
    const std::uint64_t cycle = *c.longest_s;
    std::string text = "One measurement cycle (from state " + std::to_string(c.marker) +
                       " to its next entry) takes " + duration_text(cycle);
    if (!c.waits_for_schedule) {
        return {"cycle", Verdict::pass,
                text +
                    "; no state waits for the next measurement time, so cycles follow "
                    "back to back."};
    }
    if (!a.interval_s) {
        return {"cycle", Verdict::skip,
                text + "; the schedule's interval is unknown, so it cannot be judged."};
    }
    const std::uint64_t interval = *a.interval_s;
    if (interval == 0) {
        return {"cycle", Verdict::pass, text + ", measuring continuously."};
    }
    const double percent = 100.0 * static_cast<double>(cycle) / static_cast<double>(interval);
    if (cycle > interval) {
        return {"cycle", Verdict::fail,
                text + ", longer than the " + duration_text(interval) +
                    " interval: measurements would overrun."};
    }
    // Above 80 %, compared exactly in whole seconds.
    const Verdict v = cycle * 5 > interval * 4 ? Verdict::warn : Verdict::pass;
    return {"cycle", v,
            text + format(", %.1f %% of the ", percent) + duration_text(interval) + " interval."};
}

}  // namespace kelpira::deployment_check
