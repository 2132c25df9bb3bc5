// The editor's two small dialogs as plain data: "Paste options" and "Go to state...".
#pragma once

#include <cstdint>
#include <string_view>

namespace kelpira::statemachine {

// The remembered paste options, as the bits the dialog returns.
inline constexpr unsigned kPasteInsertBefore = 1;
inline constexpr unsigned kPasteInsertAfter = 2;
inline constexpr unsigned kPasteValves = 4;
inline constexpr unsigned kPastePump = 8;
inline constexpr unsigned kPasteEverythingElse = 16;
inline constexpr unsigned kPasteAllParts = kPasteValves | kPastePump | kPasteEverythingElse;

enum class PastePlacement { insert_before, insert_after, overwrite };

// The "Paste options" controls: three radio buttons and, for overwriting, three check boxes.
struct PasteOptionsForm {
    PastePlacement placement = PastePlacement::overwrite;
    bool valves = false;           // "Paste Valve Settings"
    bool pump = false;             // "Paste Pump Settings"
    bool everything_else = false;  // "Paste Everything Else"

    // The check boxes take input only while "Overwrite Current State" is chosen.
    bool parts_enabled() const { return placement == PastePlacement::overwrite; }
};

// The dialog as it opens with the remembered bits.
PasteOptionsForm paste_form_of(unsigned bits);
// The bits the dialog gives on closing: an insert pastes every part.
unsigned paste_bits_of(const PasteOptionsForm& form);

// "Go to state..." and the state edits of the definition dialog: a number above the last
// state is shown red and refuses confirmation.
struct StateEntryCheck {
    std::uint32_t number = 0;
    bool acceptable = false;
};
StateEntryCheck check_state_entry(std::string_view text, std::uint16_t last_index);

// What "Go to state..." gives on OK: the number, or the last state when the program has more
// than one state and the number is beyond it.
std::uint16_t go_to_result(std::string_view text, std::uint16_t last_index);

}  // namespace kelpira::statemachine
