// The "State Machine Definition" dialog's own decisions: which controls take input, the
// column widths, and saving the table as a summary file through the Prompter.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/prompter.hpp"
#include "statemachine/state_machine_image.hpp"
#include "statemachine/state_summary.hpp"

namespace kelpira::statemachine {

// The dialog's controls: the "Mode" list, the two state edits and the two check boxes.
struct DefinitionForm {
    SummaryMode mode = SummaryMode::definition;
    std::string start_state = "0";
    bool simulate_pump_timeout = false;
    std::string pump_timeout_state = "0";
    bool shrink = false;
};

struct DefinitionEnabling {
    bool dry_run_controls = false;  // the two edits and "Simulate Pump Timeout On State:"
    bool start_acceptable = true;   // otherwise the edit is red
    bool pump_timeout_acceptable = true;
    bool go = true;
};

DefinitionEnabling definition_enabling(const DefinitionForm& form, std::uint16_t last_index);

// What "Go" asks of the table.
SummaryRequest summary_request(const DefinitionForm& form);

// Column widths in dialog units; shrinking zeroes the counter and depth trigger columns.
std::array<int, kSummaryColumnCount> column_widths(bool shrink);

// "Save...": chooses a file and writes the table to it, with the messages the user sees.
void save_summary_as(common::Prompter& prompter, const Summary& summary);

}  // namespace kelpira::statemachine
