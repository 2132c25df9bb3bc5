// The references of each state and the states they reach.
#include "deployment_check/program_references.hpp"

#include "statemachine/state_transition.hpp"

namespace kelpira::deployment_check {

namespace {

bool has_level(const statemachine::DepthTrigger& t) {
    return t.level >= 1 && t.level <= 3;
}

}  // namespace

std::vector<Reference> references_of(const statemachine::StateMachineImage& image) {
    std::vector<Reference> out;
    for (std::size_t i = 0; i < image.state_count(); ++i) {
        const statemachine::StateRecord& s = image.states[i];
        if (statemachine::ends_walk(s)) {
            continue;
        }
        const auto from = static_cast<std::uint8_t>(i);
        out.push_back({from, ReferenceKind::default_next, 0, s.default_next});
        for (std::size_t k = 0; k < statemachine::kCounterCount; ++k) {
            if (s.counter[k].mode == statemachine::kCounterIncAndTest) {
                out.push_back({from, ReferenceKind::counter, static_cast<std::uint8_t>(k + 1),
                               s.counter[k].next_state});
            }
        }
        if (s.power_mode == statemachine::kPowerOperating && s.pump_on == 1 &&
            s.pump_stop_mode == statemachine::kStopOnHall) {
            out.push_back({from, ReferenceKind::pump_timeout, 0, s.pump_timeout_next});
        }
        if (has_level(s.dive_trigger)) {
            out.push_back({from, ReferenceKind::dive_trigger, 0, s.dive_trigger.next_state});
        }
        if (has_level(s.climb_trigger)) {
            out.push_back({from, ReferenceKind::climb_trigger, 0, s.climb_trigger.next_state});
        }
    }
    return out;
}

std::string field_name(const Reference& r) {
    switch (r.kind) {
        case ReferenceKind::counter:
            return "counter " + std::to_string(r.counter) + " next state";
        case ReferenceKind::pump_timeout:
            return "pump time-out next state";
        case ReferenceKind::dive_trigger:
            return "diving trigger next state";
        case ReferenceKind::climb_trigger:
            return "climbing trigger next state";
        case ReferenceKind::default_next:
            break;
    }
    return "default next state";
}

std::vector<std::uint8_t> unreachable_states(const statemachine::StateMachineImage& image,
                                             const std::vector<std::uint8_t>& starts) {
    const std::size_t n = image.state_count();
    std::vector<std::vector<std::uint8_t>> next(n);
    for (const Reference& r : references_of(image)) {
        if (r.to < n) {
            next[r.from].push_back(r.to);
        }
    }
    std::vector<bool> reached(n, false);
    std::vector<std::uint8_t> queue;
    for (const std::uint8_t s : starts) {
        if (s < n && !reached[s]) {
            reached[s] = true;
            queue.push_back(s);
        }
    }
    while (!queue.empty()) {
        const std::uint8_t s = queue.back();
        queue.pop_back();
        for (const std::uint8_t t : next[s]) {
            if (!reached[t]) {
                reached[t] = true;
                queue.push_back(t);
            }
        }
    }
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < n; ++i) {
        if (!reached[i]) {
            out.push_back(static_cast<std::uint8_t>(i));
        }
    }
    return out;
}

}  // namespace kelpira::deployment_check
