// What a program would lose in the legacy .dat layout: the values that do not come back when
// the file is read again, so that the editor can warn before writing one.
#pragma once

#include <string>

#include "statemachine/state_machine_image.hpp"

namespace kelpira::statemachine {

struct LegacyLosses {
    bool hibernation = false;    // read back as idle
    bool sync_values = false;    // the layout has none
    bool led_currents = false;   // a drive other than On at the default current, or Off
    bool counter_modes = false;  // e.g. "Inc Only" with a limit comes back as "Inc & Test"
    bool other = false;          // any other value that does not come back

    bool any() const {
        return hibernation || sync_values || led_currents || counter_modes || other;
    }
    bool operator==(const LegacyLosses&) const = default;
};

// Compares each of states 0..last_index, as a load would normalise it, with what writing it
// to the legacy layout and reading it back gives.
LegacyLosses legacy_losses(const StateMachineImage& image);

// "hibernation (read back as idle), sync values" and so on, in the order of the record.
std::string legacy_losses_text(const LegacyLosses& losses);

}  // namespace kelpira::statemachine
