// The state-number entries.
#include "statemachine/editor_state_entries.hpp"

#include "statemachine/editor_form.hpp"

namespace kelpira::statemachine {

StateEntryCheck check_state_entry(std::string_view text, std::uint16_t last_index) {
    const std::uint32_t number = edit_number(text);
    return {number, number <= last_index};
}

std::uint16_t go_to_result(std::string_view text, std::uint16_t last_index) {
    const std::uint32_t number = edit_number(text);
    if (last_index != 0 && number > last_index) {
        return last_index;
    }
    return static_cast<std::uint16_t>(number);
}

}  // namespace kelpira::statemachine
