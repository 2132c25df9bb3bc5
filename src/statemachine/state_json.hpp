// The JSON text form of a program, for version control: an array with one object per state,
// the fields named as in StateRecord, enumerations by the editor's list texts, valves as the
// list of open valve numbers. A value a list does not name is written {"unlisted": N}, so
// that every record comes back byte for byte.
#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "statemachine/state_machine_image.hpp"

namespace kelpira::statemachine {

// Fills states 0..N-1 and last_index (no records: one zeroed state). Refuses malformed JSON,
// an unknown, missing or repeated field, an unknown list text, a bare number in a list field,
// a number out of its field's range and more than 255 states; `why` then names the line, the
// state and the field.
bool read_program_json(std::istream& in, StateMachineImage& image, std::string& why);
bool write_program_json(std::ostream& out, const StateMachineImage& image);

}  // namespace kelpira::statemachine
