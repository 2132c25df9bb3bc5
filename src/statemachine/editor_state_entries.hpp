// The state-number entries of "Go to state..." and of the definition dialog's dry run.
#pragma once

#include <cstdint>
#include <string_view>

namespace kelpira::statemachine {

// A number above the last state is shown red and refuses confirmation.
struct StateEntryCheck {
    std::uint32_t number = 0;
    bool acceptable = false;
};
StateEntryCheck check_state_entry(std::string_view text, std::uint16_t last_index);

// What "Go to state..." gives on OK: the number, or the last state when the program has more
// than one state and the number is beyond it.
std::uint16_t go_to_result(std::string_view text, std::uint16_t last_index);

}  // namespace kelpira::statemachine
