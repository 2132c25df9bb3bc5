// Insert, delete, copy, cut and paste of states.
#include "statemachine/state_editing.hpp"

#include <algorithm>

namespace kelpira::statemachine {

namespace {

// Applies `map` to every reference that follows the program's structure: the default next
// state always, the pump time-out's only when the pump stops on the Hall sensors, a
// counter's only when it has a limit, and a depth trigger's only when it has a level.
template <typename Map>
void renumber_references(StateMachineImage& image, Map map) {
    for (std::size_t i = 0; i <= image.last_index; ++i) {
        StateRecord& s = image.states[i];
        s.default_next = map(s.default_next);
        if (s.pump_stop_mode == kStopOnHall) {
            s.pump_timeout_next = map(s.pump_timeout_next);
        }
        for (auto& c : s.counter) {
            if (c.limit != 0) {
                c.next_state = map(c.next_state);
            }
        }
        for (auto* t : {&s.dive_trigger, &s.climb_trigger}) {
            if (t->level != 0) {
                t->next_state = map(t->next_state);
            }
        }
    }
}

}  // namespace

PasteMode paste_mode(std::uint8_t bits) {
    if (bits & kPasteInsertBefore) {
        return PasteMode::insert_before;
    }
    if (bits & kPasteInsertAfter) {
        return PasteMode::insert_after;
    }
    return PasteMode::overwrite;
}

std::uint8_t paste_bits(PasteMode mode, bool valves, bool pump, bool everything_else) {
    switch (mode) {
        case PasteMode::insert_before:
            return kPasteInsertBefore | kPasteAllFields;
        case PasteMode::insert_after:
            return kPasteInsertAfter | kPasteAllFields;
        case PasteMode::overwrite:
            break;
    }
    return static_cast<std::uint8_t>((valves ? kPasteValves : 0) | (pump ? kPastePump : 0) |
                                     (everything_else ? kPasteEverythingElse : 0));
}

bool insert_state(StateMachineImage& image, bool after) {
    if (image.last_index > kMaxLastIndex - 1) {
        return false;
    }
    const std::size_t c = image.current + (after ? 1u : 0u);
    ++image.last_index;
    auto first = image.states.begin() + static_cast<std::ptrdiff_t>(c);
    std::move_backward(first, image.states.begin() + image.last_index,
                       image.states.begin() + image.last_index + 1);
    // 254 and 255 are not state positions that can move, so they keep their meaning.
    renumber_references(image, [c](std::uint8_t x) {
        return x >= c && x < 254 ? static_cast<std::uint8_t>(x + 1) : x;
    });
    new_default_state(image, c);
    image.current = static_cast<std::uint16_t>(c);
    return true;
}

bool delete_state(StateMachineImage& image) {
    if (image.last_index == 0) {
        return false;
    }
    const std::size_t c = image.current;
    renumber_references(
        image, [c](std::uint8_t x) { return x > c ? static_cast<std::uint8_t>(x - 1) : x; });
    if (c < image.last_index) {
        auto first = image.states.begin() + static_cast<std::ptrdiff_t>(c);
        std::move(first + 1, image.states.begin() + image.last_index + 1, first);
    } else {
        image.current = static_cast<std::uint16_t>(c - 1);
    }
    --image.last_index;
    return true;
}

void copy_state(const StateMachineImage& image, StateClipboard& clipboard) {
    clipboard.record = image.states[image.current];
    clipboard.available = true;
}

bool cut_state(StateMachineImage& image, StateClipboard& clipboard) {
    copy_state(image, clipboard);
    return delete_state(image);
}

bool paste_state(StateMachineImage& image, const StateClipboard& clipboard, std::uint8_t bits) {
    if (!clipboard.available) {
        return false;
    }
    const PasteMode mode = paste_mode(bits);
    if (mode != PasteMode::overwrite && !insert_state(image, mode == PasteMode::insert_after)) {
        return false;
    }
    const StateRecord& from = clipboard.record;
    const StateRecord& here = image.states[image.current];
    StateRecord s = (bits & kPasteEverythingElse) ? from : here;
    s.valve_mask = ((bits & kPasteValves) ? from : here).valve_mask;
    const StateRecord& pump = (bits & kPastePump) ? from : here;
    s.pump_on = pump.pump_on;
    s.pump_direction = pump.pump_direction;
    s.winding_current_ma = pump.winding_current_ma;
    s.step_period_us = pump.step_period_us;
    s.microstep_code = pump.microstep_code;
    s.pump_stop_mode = pump.pump_stop_mode;
    s.hall_stop_inject = pump.hall_stop_inject;
    s.hall_stop_withdraw = pump.hall_stop_withdraw;
    s.step_count = pump.step_count;
    s.pump_timeout_s = pump.pump_timeout_s;
    s.pump_timeout_next = 0;
    s.default_next = 0;
    for (auto& c : s.counter) {
        c.next_state = 0;
    }
    image.states[image.current] = s;
    return true;
}

}  // namespace kelpira::statemachine
