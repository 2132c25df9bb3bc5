// The schedule the program waits for, and one measurement cycle against its interval.
#include <cmath>

#include "config/schedule_time.hpp"
#include "deployment_check/check_texts.hpp"
#include "deployment_check/item_rules.hpp"

namespace kelpira::deployment_check {

namespace {

constexpr std::int64_t kDayS = 86400;

// "a cycle takes 11 min 50 s, so the sensor measures every 20 min, not every 10 min".
std::string overrun_sentence(const Timeline& t) {
    return "A cycle takes " + duration_text(static_cast<std::uint64_t>(std::llround(t.work_s))) +
           ", so the sensor measures every " +
           duration_text(*t.interval_s * t.intervals_per_cycle) + ", not every " +
           duration_text(*t.interval_s);
}

std::string overrun_text(const Timeline& t) {
    std::string text = overrun_sentence(t);
    text[0] = 'a';
    return text;
}

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

CheckItem schedule_item(const SensorReading& r, const ProgramAnalysis& a, const CheckInputs& in) {
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
    if (s.stop_enabled != 0 && a.timeline) {
        const std::string stop = config::schedule_time_text(s.stop_time);
        const auto& t = *a.timeline;
        if (t.end_s && std::int64_t{s.stop_time} < *t.end_s) {
            return {
                "schedule", Verdict::fail,
                format("The schedule stops measuring at %s, on day %lld of the %s-day "
                       "deployment.",
                       stop.c_str(),
                       static_cast<long long>((std::int64_t{s.stop_time} - t.start_s) / kDayS + 1),
                       common::plain_text(*in.days).c_str())};
        }
        if (!t.end_s) {
            return {"schedule", Verdict::warn,
                    "The schedule stops measuring at " + stop +
                        "; give the deployment's length (--days) to judge it."};
        }
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

CheckItem timeline_item(const ProgramAnalysis& a, const CheckInputs& in) {
    if (!a.timeline) {
        return {"timeline", Verdict::skip, "There is no dry run of the deployment to time."};
    }
    const Timeline& t = *a.timeline;
    std::string text =
        format("From %s, %s state %u: ",
               config::schedule_time_text(static_cast<std::uint32_t>(t.start_s)).c_str(),
               t.start_label.c_str(), unsigned{t.start_state});
    Verdict v = Verdict::pass;
    if (!t.pace_s) {
        text += "no timed measurement cycle";
    } else {
        text += "one measurement every " + duration_text(static_cast<std::uint64_t>(*t.pace_s));
        if (t.intervals_per_cycle > 1) {
            v = Verdict::warn;
            text += " (" + overrun_text(t) + ")";
        }
    }
    if (t.end == TimelineEnd::never) {
        return {"timeline", Verdict::warn,
                text + (t.loops ? "; measuring goes on until the sensor is stopped: give the "
                                  "deployment's length (--days) to count it."
                                : "; the run could not be followed to its end.")};
    }
    const auto ended_at = [](std::int64_t s) {
        return config::schedule_time_text(static_cast<std::uint32_t>(s));
    };
    text += format("; %llu measurement cycle%s", static_cast<unsigned long long>(t.cycles),
                   t.cycles == 1 ? "" : "s");
    if (in.days) {
        text += format(" over the %s-day deployment", common::plain_text(*in.days).c_str());
    }
    if (t.last_cycle_s) {
        text += ", the last at " + ended_at(*t.last_cycle_s);
    }
    switch (t.end) {
        case TimelineEnd::program:
            text +=
                format(t.loops ? ": the program loops without measuring after %llu cycle%s"
                               : ": the program ends after %llu cycle%s",
                       static_cast<unsigned long long>(t.run_cycles), t.run_cycles == 1 ? "" : "s");
            break;
        case TimelineEnd::schedule_stop:
            text += ": the schedule's stop time " + ended_at(*t.ends_s) + " ends measuring";
            break;
        case TimelineEnd::reagent:
            text += ": a reagent runs out on " + ended_at(*t.ends_s);
            break;
        case TimelineEnd::battery:
            text += ": the battery is spent on " + ended_at(*t.ends_s);
            break;
        case TimelineEnd::deployment:
            text += ": measuring lasts to the end of the deployment";
            break;
        case TimelineEnd::never:
            break;
    }
    if (t.end != TimelineEnd::deployment) {
        v = in.days ? Verdict::fail : Verdict::warn;
        if (in.days) {
            text += ", before the deployment ends";
        }
    }
    return {"timeline", v, text + "."};
}

CheckItem cycle_item(const ProgramAnalysis& a) {
    if (!a.timeline) {
        return {"cycle", Verdict::skip,
                "There is no dry run of the deployment to time a cycle on."};
    }
    const Timeline& t = *a.timeline;
    if (!t.pace_s) {
        return {"cycle", Verdict::skip,
                format("The dry run does not measure (state %u) twice, so no cycle can be timed.",
                       unsigned{a.marker})};
    }
    const auto cycle = static_cast<std::uint64_t>(std::llround(t.work_s));
    const std::string text = "One measurement cycle takes " + duration_text(cycle);
    if (!t.interval_s) {
        return {"cycle", Verdict::pass,
                text +
                    "; no state waits for the next measurement time, so cycles follow "
                    "back to back."};
    }
    const std::uint64_t interval = *t.interval_s;
    if (interval == 0) {
        return {"cycle", Verdict::pass, text + ", measuring continuously."};
    }
    if (t.intervals_per_cycle > 1 || cycle > interval) {
        return {"cycle", Verdict::fail, overrun_sentence(t) + "."};
    }
    const double percent = 100.0 * static_cast<double>(cycle) / static_cast<double>(interval);
    // Above 80 %, compared exactly in whole seconds.
    const Verdict v = cycle * 5 > interval * 4 ? Verdict::warn : Verdict::pass;
    return {"cycle", v,
            text + format(", %.1f %% of the ", percent) + duration_text(interval) + " interval."};
}

}  // namespace kelpira::deployment_check
