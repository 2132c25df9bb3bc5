// Structural edits of the image: insert and delete with the renumbering of state references,
// and copy, cut and paste with the remembered paste options.
#pragma once

#include <cstdint>

#include "statemachine/state_machine_image.hpp"

namespace kelpira::statemachine {

// Bits of the remembered paste options.
inline constexpr std::uint8_t kPasteInsertBefore = 1;
inline constexpr std::uint8_t kPasteInsertAfter = 2;
inline constexpr std::uint8_t kPasteValves = 4;
inline constexpr std::uint8_t kPastePump = 8;
inline constexpr std::uint8_t kPasteEverythingElse = 16;
inline constexpr std::uint8_t kPasteAllFields = kPasteValves | kPastePump | kPasteEverythingElse;

enum class PasteMode { insert_before, insert_after, overwrite };

// The choice the "Paste options" dialog opens with, from the remembered bits.
PasteMode paste_mode(std::uint8_t bits);
// The bits the dialog gives: an insert pastes every field; an overwrite the ticked ones.
std::uint8_t paste_bits(PasteMode mode, bool valves, bool pump, bool everything_else);

// One copied state, kept for the life of the program.
struct StateClipboard {
    StateRecord record;
    bool available = false;
};

// Inserts a default state at `current` (before) or after it, making the new state current.
// References to the moved states follow them. Refused (false, nothing changes) when the image
// already holds 255 states.
bool insert_state(StateMachineImage& image, bool after);

// Deletes `current`; references beyond it move down, references to it are left. Refused when
// it is the only state.
bool delete_state(StateMachineImage& image);

void copy_state(const StateMachineImage& image, StateClipboard& clipboard);
// Copies `current`, then deletes it; false when the delete was refused (the copy stands).
bool cut_state(StateMachineImage& image, StateClipboard& clipboard);

// Pastes the clipboard with the paste option bits: inserts first when asked (nothing is
// pasted if the insert is refused), then composes `current` from the clipboard's valve, pump
// and other fields as chosen and zeroes its next-state references (time-out, default and
// counters), which belonged to the copied state's place. False when nothing was pasted.
bool paste_state(StateMachineImage& image, const StateClipboard& clipboard, std::uint8_t bits);

}  // namespace kelpira::statemachine
