// The state-machine program the emulated sensor keeps: its program memory of 255 states and
// the number of states in the program.
#pragma once

#include <cstdint>

#include "records/chemistry_type.hpp"
#include "statemachine/state_machine_image.hpp"

namespace kelpira::virtual_sensor {

struct StoredProgram {
    // Written state by state; a save that stops half-way leaves what it wrote here and the
    // old state count, as the sensor's memory does.
    statemachine::StateArray states{};
    std::uint16_t state_count = 0;  // set by the state written with the last flag
};

// A program a new user can load, read and dry-run: a deployment cycle of flush, blank,
// reagent, reaction and measurement, three rinses and a sleep until the next scheduled
// measurement, 24 cycles and then idle; a priming sequence from state 7; a pump that times
// out sends the sensor to hibernation (state 8). Reagent valves and reaction time follow
// the chemistry. Nutrient programs measure a standard after the rinses (states 9 to 11).
StoredProgram default_program(records::ChemistryType chemistry);

}  // namespace kelpira::virtual_sensor
