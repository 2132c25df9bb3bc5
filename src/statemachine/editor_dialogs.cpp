// "Paste options" bits and the state-number entries.
#include "statemachine/editor_dialogs.hpp"

#include "statemachine/editor_form.hpp"

namespace kelpira::statemachine {

PasteOptionsForm paste_form_of(unsigned bits) {
    PasteOptionsForm form;
    if ((bits & kPasteInsertBefore) != 0) {
        form.placement = PastePlacement::insert_before;
    } else if ((bits & kPasteInsertAfter) != 0) {
        form.placement = PastePlacement::insert_after;
    }
    form.valves = (bits & kPasteValves) != 0;
    form.pump = (bits & kPastePump) != 0;
    form.everything_else = (bits & kPasteEverythingElse) != 0;
    return form;
}

unsigned paste_bits_of(const PasteOptionsForm& form) {
    switch (form.placement) {
        case PastePlacement::insert_before:
            return kPasteInsertBefore | kPasteAllParts;
        case PastePlacement::insert_after:
            return kPasteInsertAfter | kPasteAllParts;
        case PastePlacement::overwrite:
            break;
    }
    return (form.valves ? kPasteValves : 0U) | (form.pump ? kPastePump : 0U) |
           (form.everything_else ? kPasteEverythingElse : 0U);
}

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
