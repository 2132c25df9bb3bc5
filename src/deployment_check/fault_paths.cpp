// Walking the faults of the states a run leaves.
#include "deployment_check/fault_paths.hpp"

#include <algorithm>
#include <map>

namespace kelpira::deployment_check {

namespace {

constexpr std::size_t kRoundShown = 6;

bool is_fault(const Reference& r) {
    return r.kind == ReferenceKind::pump_timeout || r.kind == ReferenceKind::dive_trigger ||
           r.kind == ReferenceKind::climb_trigger;
}

std::uint64_t point_key(std::uint8_t state, const Counters& counters) {
    std::uint64_t key = state;
    for (const std::uint8_t c : counters) {
        key = key << 8 | c;
    }
    return key;
}

}  // namespace

std::vector<FaultPath> fault_paths(const statemachine::StateMachineImage& image,
                                   const ProgramWalk& run, std::size_t budget) {
    std::vector<FaultPath> out;
    std::map<std::uint64_t, std::size_t> walked;  // point -> index in `out`
    for (const Reference& r : references_of(image)) {
        const auto& counters = run.first_leave[r.from];
        if (!is_fault(r) || !counters) {
            continue;  // the run never leaves the state, so the fault cannot happen on it
        }
        FaultPath path{r, std::nullopt, true};
        if (r.to <= image.last_index) {
            const std::uint64_t key = point_key(r.to, *counters);
            if (const auto at = walked.find(key); at != walked.end()) {
                path.walk = out[at->second].walk;
                path.walked = out[at->second].walked;
            } else if (budget == 0) {
                path.walked = false;
            } else {
                path.walk = walk_program(image, r.to, *counters, budget);
                budget -= std::min(budget, path.walk->path.size());
                path.walked = path.walk->end != WalkEnd::undecided;
                walked.emplace(key, out.size());
            }
        }
        out.push_back(std::move(path));
    }
    return out;
}

std::string fault_text(const Reference& fault) {
    const std::string state = " in state " + std::to_string(fault.from);
    switch (fault.kind) {
        case ReferenceKind::dive_trigger:
            return "after the diving trigger" + state;
        case ReferenceKind::climb_trigger:
            return "after the climbing trigger" + state;
        default:
            break;
    }
    return "after a pump time-out" + state;
}

std::string round_text(const ProgramWalk& walk) {
    const auto first = walk.path.begin() + static_cast<std::ptrdiff_t>(walk.loop_start);
    const std::size_t length = static_cast<std::size_t>(walk.path.end() - first);
    std::string text;
    const std::size_t shown = length > kRoundShown + 1 ? kRoundShown : length;
    for (std::size_t i = 0; i < shown; ++i) {
        text += std::to_string(first[static_cast<std::ptrdiff_t>(i)]) + " → ";
    }
    if (shown < length) {
        text += "… → ";
    }
    text += std::to_string(*first);
    if (shown < length) {
        text += " (" + std::to_string(length) + " states a round)";
    }
    return text;
}

bool round_measures(const ProgramWalk& walk, std::uint8_t marker) {
    return std::find(walk.path.begin() + static_cast<std::ptrdiff_t>(walk.loop_start),
                     walk.path.end(), marker) != walk.path.end();
}

std::string never_measures_again(const ProgramWalk& walk, std::uint8_t marker) {
    const auto before = static_cast<std::size_t>(
        std::count(walk.path.begin(),
                   walk.path.begin() + static_cast<std::ptrdiff_t>(walk.loop_start), marker));
    if (before == 0) {
        return "the program never measures (state " + std::to_string(marker) +
               "): it repeats states " + round_text(walk);
    }
    return "from cycle " + std::to_string(before) + " on, the program repeats states " +
           round_text(walk) + " and never measures again";
}

}  // namespace kelpira::deployment_check
