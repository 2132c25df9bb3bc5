// The dry runs of the program from its start states, and the items judged on them: the
// program itself and the states the processing parameters name.
#include <algorithm>

#include "common/time_text.hpp"
#include "deployment_check/check_texts.hpp"
#include "deployment_check/item_rules.hpp"
#include "statemachine/state_transition.hpp"

namespace kelpira::deployment_check {

namespace {

constexpr double kSecondsPerDay = 86400;

StartRun run_from(const statemachine::StateMachineImage& image, std::string_view label,
                  std::uint8_t start) {
    StartRun run{label, start, std::nullopt};
    if (start <= image.last_index) {
        run.walk = walk_program(image, start);
    }
    return run;
}

const char* end_name(WalkEnd end) {
    return end == WalkEnd::idle ? "IDLE" : "HIBERNATING";
}

// What is wrong with a start state and its dry run, or nothing.
std::optional<std::pair<Verdict, std::string>> start_fault(const StartRun& run,
                                                           std::size_t states) {
    const std::string label(run.label);
    if (!run.walk) {
        return std::pair{Verdict::fail,
                         format("the %s start state %u lies outside the %zu-state program",
                                label.c_str(), unsigned{run.start}, states)};
    }
    const ProgramWalk& w = *run.walk;
    if (w.end == WalkEnd::invalid_reference) {
        return std::pair{Verdict::fail,
                         format("the %s dry run from state %u meets a reference in state %u to "
                                "state %u, which does not exist",
                                label.c_str(), unsigned{run.start}, unsigned{w.path.back()},
                                unsigned{w.invalid_state})};
    }
    if (w.end == WalkEnd::undecided) {
        return std::pair{Verdict::warn,
                         format("the %s dry run from state %u neither ends nor repeats within %zu "
                                "states",
                                label.c_str(), unsigned{run.start}, w.path.size())};
    }
    if (w.end == WalkEnd::hibernating) {
        return std::pair{Verdict::warn,
                         format("the %s dry run from state %u ends at HIBERNATING (state %u) "
                                "without a pump time-out",
                                label.c_str(), unsigned{run.start}, unsigned{w.path.back()})};
    }
    return std::nullopt;
}

// The run that stops measuring: after how many cycles and how long, against the deployment.
std::pair<Verdict, std::string> deploy_end(const StartRun& run, const ProgramAnalysis& a,
                                           const CheckInputs& in) {
    const ProgramWalk& w = *run.walk;
    const Timeline& t = *a.timeline;
    const auto cycles = t.run_cycles;
    const bool hibernates = w.end == WalkEnd::hibernating;
    const std::string label(run.label);
    std::string text = format(
        "the %s dry run from state %u ends at %s (state %u)%s after %llu measurement cycle%s, "
        "%s after it starts",
        label.c_str(), unsigned{run.start}, end_name(w.end), unsigned{w.path.back()},
        hibernates ? " without a pump time-out" : "", static_cast<unsigned long long>(cycles),
        cycles == 1 ? "" : "s", duration_text(static_cast<std::uint64_t>(t.run_s)).c_str());
    if (!in.days) {
        return {Verdict::warn, text + ", and then measures no more"};
    }
    if (t.run_s < *in.days * kSecondsPerDay) {
        return {Verdict::fail, text + format(", before the %s-day deployment ends",
                                             common::plain_text(*in.days).c_str())};
    }
    return {
        hibernates ? Verdict::warn : Verdict::pass,
        text + format(", covering the %s-day deployment", common::plain_text(*in.days).c_str())};
}

std::string undecided_text(const StartRun& run, const ProgramAnalysis& a) {
    const auto cycles = a.timeline->run_cycles;
    return format(
        "the %s dry run from state %u neither ends nor repeats within %zu states (%llu "
        "measurement cycle%s, %s of simulated time), so the check could not decide how "
        "it goes on",
        std::string(run.label).c_str(), unsigned{run.start}, run.walk->path.size(),
        static_cast<unsigned long long>(cycles), cycles == 1 ? "" : "s",
        duration_text(static_cast<std::uint64_t>(a.timeline->run_s)).c_str());
}

std::string sentence(std::vector<std::string> parts) {
    std::string text;
    for (const auto& p : parts) {
        text += (text.empty() ? "" : "; ") + p;
    }
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text + ".";
}

std::string chemistry_name(records::ChemistryType c) {
    const auto* d = records::find_chemistry(c);
    return d ? std::string(d->tab_text) : format("code %u", unsigned{records::code_of(c)});
}

std::string state_list(const std::vector<NamedState>& states) {
    std::string text;
    for (const auto& s : states) {
        text += (text.empty() ? "" : ", ") + s.role + format(" %u", unsigned{s.state});
    }
    return text;
}

}  // namespace

ProgramAnalysis analyse_program(const SensorReading& r, const CheckInputs& in) {
    ProgramAnalysis a;
    if (r.schedule) {
        a.interval_s = interval_seconds(*r.schedule);
    }
    if (r.chemistry && r.processing) {
        a.processing = processing_states(r.chemistry->chemistry, *r.processing);
    }
    if (!r.program || r.program_empty || !r.chemistry) {
        return a;
    }
    const auto& image = *r.program;
    for (std::size_t i = 0; i < image.state_count(); ++i) {
        const auto& s = image.states[i];
        a.program_waits = a.program_waits || (!statemachine::ends_walk(s) &&
                                              s.delay_mode == statemachine::kDelaySchedule);
    }
    const records::ChemistryConfig& c = *r.chemistry;
    const bool automatic = in.start_state == StartChoice::automatic;
    const std::pair<std::string_view, std::uint8_t> used =
        automatic ? std::pair<std::string_view, std::uint8_t>{"Automatic Deployment",
                                                              c.start_auto_deployment}
                  : std::pair<std::string_view, std::uint8_t>{"Deploy", c.start_manual_deployment};
    if (used.second != records::kStateDisabled) {
        a.deploy = run_from(image, used.first, used.second);
    }
    const std::pair<std::string_view, std::uint8_t> others[] = {
        {automatic ? "Deploy" : "Automatic Deployment",
         automatic ? c.start_manual_deployment : c.start_auto_deployment},
        {"Prime", c.start_manual_priming},
        {"Flush", c.start_manual_flushing},
        {"Special1", c.start_special1},
        {"Special2", c.start_special2},
        {"Special3", c.start_special3},
    };
    std::vector<std::uint8_t> starts;
    if (a.deploy) {
        starts.push_back(a.deploy->start);
    }
    for (const auto& [label, start] : others) {
        if (start != records::kStateDisabled) {
            a.others.push_back(run_from(image, label, start));
            starts.push_back(start);
        }
    }
    for (const Reference& ref : references_of(image)) {
        if (ref.to > image.last_index) {
            a.broken.push_back(ref);
        }
    }
    // Without a start state the program item says so; every state is then unreachable.
    if (!starts.empty()) {
        a.unreachable = unreachable_states(image, starts);
    }
    if (!a.deploy || !a.deploy->walk || a.deploy->walk->end == WalkEnd::invalid_reference) {
        return a;
    }
    a.marker = a.processing.measurement.value_or(a.deploy->start);
    a.faults = fault_paths(image, *a.deploy->walk);
    TimelineSchedule schedule;
    schedule.interval_s = a.interval_s;
    std::int64_t start = common::utc_seconds({r.pc_utc.year, r.pc_utc.month, r.pc_utc.day,
                                              r.pc_utc.hour, r.pc_utc.minute, r.pc_utc.second});
    if (r.schedule) {
        schedule.start_s = r.schedule->start_time;
        if (r.schedule->stop_enabled != 0) {
            schedule.stop_s = r.schedule->stop_time;
        }
    }
    if (r.next) {
        start = r.next->sensor_time;  // the schedule runs on the sensor's clock
    }
    a.timeline = make_timeline(image, *a.deploy->walk, a.marker, schedule, in.start.value_or(start),
                               in.days);
    a.timeline->start_label = std::string(a.deploy->label);
    apply_limits(*a.timeline, in);
    return a;
}

CheckItem program_item(const SensorReading& r, const ProgramAnalysis& a, const CheckInputs& in) {
    if (!r.chemistry) {
        return {"program", Verdict::fail,
                format("The start states could not be read (status=%d).", int{r.chemistry.result})};
    }
    if (!r.program) {
        return {"program", Verdict::fail,
                "The program could not be read: " + r.program_failure + "."};
    }
    if (r.program_empty) {
        return {"program", Verdict::fail, "The sensor holds no program."};
    }
    const std::size_t states = r.program->state_count();
    Verdict v = Verdict::pass;
    std::vector<std::string> parts;
    if (!a.deploy) {
        v = Verdict::fail;
        parts.push_back("the Deploy start state is not set");
    } else if (const auto fault = start_fault(*a.deploy, states);
               fault && fault->first == Verdict::fail) {
        v = Verdict::fail;
        parts.push_back(fault->second);
    } else if (a.deploy->walk->end == WalkEnd::loops) {
        const ProgramWalk& w = *a.deploy->walk;
        if (round_measures(w, a.marker)) {
            parts.push_back(
                format("the Deploy dry run from state %u loops, so it measures until "
                       "stopped",
                       unsigned{a.deploy->start}));
        } else {
            v = Verdict::fail;
            parts.push_back(never_measures_again(w, a.marker));
        }
    } else if (a.deploy->walk->end == WalkEnd::undecided) {
        v = Verdict::warn;
        parts.push_back(undecided_text(*a.deploy, a));
    } else {
        auto [verdict, text] = deploy_end(*a.deploy, a, in);
        v = verdict;
        parts.push_back(std::move(text));
    }
    for (const auto& run : a.others) {
        if (const auto fault = start_fault(run, states)) {
            v = worse(v, fault->first);
            parts.push_back(fault->second);
        }
    }
    return {"program", v, sentence(std::move(parts))};
}

CheckItem states_item(const SensorReading& r, const ProgramAnalysis& a) {
    if (!r.chemistry) {
        return {"states", Verdict::skip, "The chemistry could not be read."};
    }
    const std::string chemistry = chemistry_name(r.chemistry->chemistry);
    if (!records::find_chemistry(r.chemistry->chemistry)) {
        return {"states", Verdict::skip,
                "The chemistry (" + chemistry + ") is unknown to this program."};
    }
    if (!r.processing) {
        return {"states", Verdict::fail,
                format("The %s processing parameters could not be read (status=%d).",
                       chemistry.c_str(), int{r.processing.result})};
    }
    const auto& named = a.processing.named;
    if (named.empty()) {
        return {"states", Verdict::skip,
                "The " + chemistry + " processing parameters name no states."};
    }
    if (!r.program || r.program_empty) {
        return {"states", Verdict::skip, "There is no program to look for the states in."};
    }
    const std::size_t states = r.program->state_count();
    std::vector<NamedState> missing;
    std::copy_if(named.begin(), named.end(), std::back_inserter(missing),
                 [&](const NamedState& s) { return s.state >= states; });
    if (!missing.empty()) {
        return {"states", Verdict::fail,
                format("The %s processing parameters name states the %zu-state program does "
                       "not have: ",
                       chemistry.c_str(), states) +
                    state_list(missing) + "."};
    }
    const bool walked =
        a.deploy && a.deploy->walk && a.deploy->walk->end != WalkEnd::invalid_reference;
    if (!walked) {
        return {"states", Verdict::pass,
                "Every state the " + chemistry + " processing parameters name (" +
                    state_list(named) +
                    ") is in the program; there is no Deploy dry run to "
                    "visit them."};
    }
    const auto& path = a.deploy->walk->path;
    std::vector<NamedState> unvisited;
    std::copy_if(named.begin(), named.end(), std::back_inserter(unvisited),
                 [&](const NamedState& s) {
                     return std::find(path.begin(), path.end(), s.state) == path.end();
                 });
    if (!unvisited.empty()) {
        return {"states", Verdict::warn,
                "The Deploy dry run never visits these states the " + chemistry +
                    " processing parameters name: " + state_list(unvisited) + "."};
    }
    return {"states", Verdict::pass,
            "Every state the " + chemistry + " processing parameters name (" + state_list(named) +
                ") is in the program and visited by the Deploy dry run."};
}

}  // namespace kelpira::deployment_check
