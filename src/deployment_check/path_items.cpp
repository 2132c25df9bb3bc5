// The items judged on every path of the program rather than the one the dry run takes: the
// references of every state and the runs after each fault.
#include <algorithm>

#include "deployment_check/check_texts.hpp"
#include "deployment_check/item_rules.hpp"

namespace kelpira::deployment_check {

namespace {

constexpr std::size_t kFaultsShown = 4;

std::string capitalised(std::string text) {
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const auto& p : parts) {
        text += (text.empty() ? "" : "; ") + p;
    }
    return text;
}

// "3", "3 and 5", "3, 5 and 9" (or "or").
std::string state_numbers(const std::vector<std::uint8_t>& states,
                          const std::string& last = "and") {
    std::string text;
    for (std::size_t i = 0; i < states.size(); ++i) {
        text += (i == 0                   ? ""
                 : i + 1 == states.size() ? " " + last + " "
                                          : ", ") +
                std::to_string(states[i]);
    }
    return text;
}

// The verdict of one fault path and what the program then does.
std::pair<Verdict, std::string> judge_fault(const FaultPath& f, std::uint8_t marker) {
    if (!f.walked) {
        return {Verdict::warn,
                "the run neither ends nor repeats within the states the check "
                "walks, so it could not decide"};
    }
    if (!f.walk) {
        return {Verdict::fail,
                format("the program goes to state %u, which does not exist", unsigned{f.fault.to})};
    }
    const ProgramWalk& w = *f.walk;
    switch (w.end) {
        case WalkEnd::invalid_reference:
            return {Verdict::fail,
                    format("the run meets a reference in state %u to state %u, which "
                           "does not exist",
                           unsigned{w.path.back()}, unsigned{w.invalid_state})};
        case WalkEnd::idle:
        case WalkEnd::hibernating:
            return {Verdict::warn, format("the program stops at %s (state %u) and measures no more",
                                          w.end == WalkEnd::idle ? "IDLE" : "HIBERNATING",
                                          unsigned{w.path.back()})};
        case WalkEnd::loops:
            if (round_measures(w, marker)) {
                return {Verdict::pass, ""};
            }
            return {Verdict::fail,
                    "the program repeats states " + round_text(w) + " and never measures again"};
        case WalkEnd::undecided:
            break;
    }
    return {Verdict::warn, format("the run neither ends nor repeats within %zu states, "
                                  "so the check could not decide",
                                  w.path.size())};
}

}  // namespace

CheckItem references_item(const SensorReading& r, const ProgramAnalysis& a) {
    if (!r.program || r.program_empty || !r.chemistry) {
        return {"references", Verdict::skip, "There is no program and start states to follow."};
    }
    const std::size_t states = r.program->state_count();
    std::vector<std::string> parts;
    for (const Reference& ref : a.broken) {
        parts.push_back(
            format("state %u's ", unsigned{ref.from}) + field_name(ref) +
            format(" is %u, which the %zu-state program does not have", unsigned{ref.to}, states));
    }
    const Verdict broken = parts.empty() ? Verdict::pass : Verdict::fail;
    if (!a.unreachable.empty()) {
        parts.push_back(std::string(a.unreachable.size() == 1 ? "state " : "states ") +
                        state_numbers(a.unreachable) + " can be reached from no start state");
    }
    if (parts.empty()) {
        return {"references", Verdict::pass,
                format("Every reference of the %zu-state program names a state it has, and a "
                       "start state reaches every state.",
                       states)};
    }
    return {"references", a.unreachable.empty() ? broken : worse(broken, Verdict::warn),
            capitalised(joined(parts)) + "."};
}

CheckItem faults_item(const ProgramAnalysis& a) {
    if (!a.deploy || !a.deploy->walk || a.deploy->walk->end == WalkEnd::invalid_reference) {
        return {"faults", Verdict::skip, "There is no Deploy dry run to walk the faults of."};
    }
    if (a.faults.empty()) {
        return {"faults", Verdict::pass,
                "No state the Deploy dry run leaves has a pump time-out or a depth trigger."};
    }
    // Faults of one kind that end alike are named together.
    struct Group {
        Verdict verdict;
        ReferenceKind kind;
        std::string outcome;
        std::vector<std::uint8_t> states;
    };
    Verdict v = Verdict::pass;
    std::vector<Group> found;
    for (const FaultPath& f : a.faults) {
        auto [verdict, outcome] = judge_fault(f, a.marker);
        v = worse(v, verdict);
        if (verdict == Verdict::pass) {
            continue;
        }
        const auto same = std::find_if(found.begin(), found.end(), [&](const Group& g) {
            return g.kind == f.fault.kind && g.outcome == outcome;
        });
        if (same != found.end()) {
            same->states.push_back(f.fault.from);
        } else {
            found.push_back({verdict, f.fault.kind, std::move(outcome), {f.fault.from}});
        }
    }
    const std::size_t timeouts = static_cast<std::size_t>(std::count_if(
        a.faults.begin(), a.faults.end(),
        [](const FaultPath& f) { return f.fault.kind == ReferenceKind::pump_timeout; }));
    const std::size_t triggers = a.faults.size() - timeouts;
    const std::string counted =
        format("%zu pump time-out%s and %zu depth trigger%s", timeouts, timeouts == 1 ? "" : "s",
               triggers, triggers == 1 ? "" : "s");
    if (found.empty()) {
        return {"faults", Verdict::pass,
                "After each fault the Deploy dry run can meet (" + counted +
                    ") the program comes back to measuring."};
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Group& x, const Group& y) { return x.verdict > y.verdict; });
    std::vector<std::string> parts;
    for (std::size_t i = 0; i < std::min(found.size(), kFaultsShown); ++i) {
        const Group& g = found[i];
        Reference named{g.states.front(), g.kind, 0, 0};
        std::string after = fault_text(named);
        if (g.states.size() > 1) {
            after = after.substr(0, after.rfind(' ') + 1) + state_numbers(g.states, "or");
        }
        parts.push_back(after + " " + g.outcome);
    }
    if (found.size() > kFaultsShown) {
        parts.push_back(format("%zu more fault outcomes", found.size() - kFaultsShown));
    }
    return {"faults", v, capitalised(joined(parts)) + " (of " + counted + ")."};
}

}  // namespace kelpira::deployment_check
