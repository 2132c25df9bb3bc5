// Cycle lengths and pump strokes along a dry-run path.
#include "deployment_check/cycle_facts.hpp"

#include <algorithm>
#include <vector>

#include "statemachine/state_transition.hpp"

namespace kelpira::deployment_check {

namespace {

using statemachine::StateRecord;

// Seconds the state waits before it is left; a wait for the schedule does not count.
std::uint64_t delay_of(const StateRecord& s) {
    if (statemachine::ends_walk(s) || s.delay_mode != statemachine::kDelaySeconds) {
        return 0;
    }
    return s.delay_s;
}

bool waits_for_schedule(const StateRecord& s) {
    return !statemachine::ends_walk(s) && s.delay_mode == statemachine::kDelaySchedule;
}

void add_strokes(const StateRecord& s, std::array<std::uint64_t, statemachine::kValveCount>& to) {
    if (s.power_mode != statemachine::kPowerOperating || s.pump_on != 1) {
        return;
    }
    for (std::size_t v = 0; v < statemachine::kValveCount; ++v) {
        if ((s.valve_mask >> v) & 1u) {
            ++to[v];
        }
    }
}

}  // namespace

CycleFacts cycle_facts(const statemachine::StateMachineImage& image, const ProgramWalk& walk,
                       std::uint8_t marker) {
    CycleFacts out;
    out.marker = marker;
    const bool loops = walk.end == WalkEnd::loops;
    const std::size_t first = loops ? walk.loop_start : 0;
    const std::size_t n = walk.path.size();
    for (std::size_t i = 0; i < first; ++i) {
        add_strokes(image.states[walk.path[i]], out.strokes_before);
    }
    std::vector<std::size_t> entries;
    for (std::size_t i = first; i < n; ++i) {
        const StateRecord& s = image.states[walk.path[i]];
        add_strokes(s, out.strokes);
        if (walk.path[i] == marker) {
            entries.push_back(i);
        }
        // A wait before the first measurement of a run that ends paces nothing.
        if (loops || !entries.empty()) {
            out.waits_for_schedule = out.waits_for_schedule || waits_for_schedule(s);
        }
    }
    out.cycles = entries.size();
    // A loop's last entry is followed by its first entry of the next round.
    const std::size_t pairs =
        loops ? entries.size() : entries.size() - std::min<std::size_t>(1, entries.size());
    double total = 0;
    for (std::size_t p = 0; p < pairs; ++p) {
        const std::size_t from = entries[p];
        const std::size_t to = p + 1 < entries.size() ? entries[p + 1] : entries[0] + (n - first);
        std::uint64_t length = 0;
        for (std::size_t i = from; i < to; ++i) {
            const std::size_t at = i < n ? i : first + (i - n);
            length += delay_of(image.states[walk.path[at]]);
        }
        out.longest_s = std::max(out.longest_s.value_or(0), length);
        total += static_cast<double>(length);
    }
    if (pairs > 0) {
        out.mean_s = total / static_cast<double>(pairs);
    }
    return out;
}

}  // namespace kelpira::deployment_check
