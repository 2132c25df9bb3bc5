// The dry-run walk with its repeat detection (Brent's method).
#include "deployment_check/program_walk.hpp"

namespace kelpira::deployment_check {

namespace {

// The state and the six 8-bit counters, everything the next step depends on, in one word:
// the counters in the low six bytes, the state above them.
using Point = std::uint64_t;
constexpr int kStateShift = 8 * statemachine::kCounterCount;
constexpr Point kCountersMask = (Point{1} << kStateShift) - 1;

Point point_of(std::uint8_t state, const Counters& counters) {
    Point p = Point{state} << kStateShift;
    for (std::size_t k = 0; k < counters.size(); ++k) {
        p |= Point{counters[k]} << (8 * k);
    }
    return p;
}

std::uint8_t state_of(Point p) {
    return static_cast<std::uint8_t>(p >> kStateShift);
}

Counters counters_of(Point p) {
    Counters c{};
    for (std::size_t k = 0; k < c.size(); ++k) {
        c[k] = static_cast<std::uint8_t>(p >> (8 * k));
    }
    return c;
}

enum class Step { moved, stopped, invalid };

// The program with what each step needs at hand: most states touch no counter, and leaving
// them is only their default next state (long counted runs spend nearly all steps there).
struct Stepper {
    const statemachine::StateMachineImage& image;
    std::array<bool, statemachine::kMaxStates> counts{};
    std::array<bool, statemachine::kMaxStates> stops{};

    explicit Stepper(const statemachine::StateMachineImage& program) : image(program) {
        for (std::size_t i = 0; i < image.state_count(); ++i) {
            const auto& s = image.states[i];
            stops[i] = statemachine::ends_walk(s);
            for (const auto& c : s.counter) {
                counts[i] =
                    counts[i] || c.mode != statemachine::kCounterIncOnly || c.increment != 0;
            }
        }
    }

    // Leaves the point's state. `stopped`: the state is idle or hibernating and is not left;
    // `invalid`: the next state is past the program's last (then `invalid_state` holds it).
    Step step(Point& p, std::uint32_t& invalid_state) const {
        const std::uint8_t index = state_of(p);
        if (stops[index]) {
            return Step::stopped;
        }
        const statemachine::StateRecord& s = image.states[index];
        std::uint8_t next = s.default_next;
        Point counters = p & kCountersMask;
        if (counts[index]) {
            statemachine::WalkState walk;
            walk.counters = counters_of(p);
            next = statemachine::leave_state(s, index, walk);
            counters = point_of(0, walk.counters);
        }
        if (next > image.last_index) {
            invalid_state = next;
            return Step::invalid;
        }
        p = Point{next} << kStateShift | counters;
        return Step::moved;
    }

    void advance(Point& p, std::size_t steps) const {
        std::uint32_t unused = 0;
        for (std::size_t i = 0; i < steps; ++i) {
            step(p, unused);
        }
    }
};

}  // namespace

ProgramWalk walk_program(const statemachine::StateMachineImage& image, std::uint8_t start,
                         const Counters& counters, std::size_t step_limit) {
    const Stepper stepper(image);
    ProgramWalk out;
    out.start = start;
    const Point first = point_of(start, counters);
    Point tortoise = first;
    Point hare = first;
    out.path.push_back(start);
    std::size_t power = 1;
    std::size_t round = 0;
    while (true) {
        const std::uint8_t left = state_of(hare);
        switch (stepper.step(hare, out.invalid_state)) {
            case Step::stopped:
                out.end = image.states[left].power_mode == statemachine::kPowerIdle
                              ? WalkEnd::idle
                              : WalkEnd::hibernating;
                return out;
            case Step::invalid:
                out.end = WalkEnd::invalid_reference;
                return out;
            case Step::moved:
                break;
        }
        if (!out.first_leave[left]) {
            out.first_leave[left] = counters_of(hare);
        }
        ++round;
        if (hare == tortoise) {
            break;
        }
        if (out.path.size() >= step_limit) {
            out.end = WalkEnd::undecided;
            return out;
        }
        out.path.push_back(state_of(hare));
        if (round == power) {
            tortoise = hare;
            power *= 2;
            round = 0;
        }
    }
    // The round is `round` states long; it starts at the first point that the point `round`
    // states later equals.
    Point behind = first;
    Point ahead = first;
    stepper.advance(ahead, round);
    std::size_t loop_start = 0;
    while (behind != ahead) {
        stepper.advance(behind, 1);
        stepper.advance(ahead, 1);
        ++loop_start;
    }
    out.end = WalkEnd::loops;
    out.loop_start = loop_start;
    out.path.resize(loop_start + round);
    return out;
}

}  // namespace kelpira::deployment_check
