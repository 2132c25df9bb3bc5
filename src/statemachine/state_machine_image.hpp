// The PC's copy of the sensor's state-machine program: up to 255 states, the state shown in
// the editor, the snapshot that decides whether to offer saving, and the values new states
// take.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "statemachine/state_record.hpp"

namespace kelpira::statemachine {

inline constexpr std::size_t kMaxStates = 255;
inline constexpr std::uint16_t kMaxLastIndex = kMaxStates - 1;
inline constexpr std::size_t kImageBytes = kMaxStates * StateRecord::size;  // 19635

// What a new state takes: read from the sensor's optics and pump/valve defaults when the
// editor opens on a connected sensor; without one everything is 0 but the two 5 V supplies.
struct StateDefaults {
    std::uint16_t winding_current_ma = 0;
    std::uint32_t step_period_us = 0;
    std::uint8_t microstep_code = 0;
    std::uint8_t pump_stop_mode = 0;
    std::uint32_t step_count = 0;
    std::uint32_t pump_timeout_s = 0;
    std::uint8_t hall_power = 1;
    std::uint8_t photodiode_power = 1;
    std::array<std::uint16_t, kLedCount> led_current_ua{};  // shown beside an LED that is On
    std::uint16_t hall_stop_inject = 0;                     // shown only
    std::uint16_t hall_stop_withdraw = 0;                   // shown only
};

using StateArray = std::array<StateRecord, kMaxStates>;

struct StateMachineImage {
    StateArray states{};           // states beyond last_index are not part of the program
    std::uint16_t last_index = 0;  // state count - 1; an empty program also has 0
    std::uint16_t current = 0;     // the state shown in the editor
    StateArray snapshot{};
    std::uint16_t snapshot_last_index = 0;
    StateDefaults state_defaults;

    std::size_t state_count() const { return std::size_t{last_index} + 1; }
};

// Copies the states and last_index into the snapshot (after a load, save or clear).
void take_snapshot(StateMachineImage& image);
// True when last_index and the states up to it equal the snapshot, so nothing needs saving;
// slots beyond the program do not count.
bool matches_snapshot(const StateMachineImage& image);

// A new state at `index` from the image's defaults; its next states point at index + 1, or at
// itself when it is the last state.
void new_default_state(StateMachineImage& image, std::size_t index);

// Normalises one record: a record not yet normalised gets every non-zero LED drive as 0xFFFF,
// no Hall stop values, switch 0 as On and an out-of-range depth trigger zeroed; then every
// record is marked normalised.
void normalise(StateRecord& s);
// Normalises states 0..last_index; every load does this.
void normalise_image(StateMachineImage& image);

// Zeroes every state, sets last_index and current to 0, makes state 0 a default state and
// takes the snapshot.
void clear_image(StateMachineImage& image);

}  // namespace kelpira::statemachine
