// The definition dialog's enabling, request, column widths and summary save.
#include "statemachine/definition_controller.hpp"

#include "statemachine/editor_form.hpp"
#include "statemachine/editor_state_entries.hpp"

namespace kelpira::statemachine {

DefinitionEnabling definition_enabling(const DefinitionForm& form, std::uint16_t last_index) {
    DefinitionEnabling e;
    e.dry_run_controls = form.mode == SummaryMode::dry_run;
    e.start_acceptable = check_state_entry(form.start_state, last_index).acceptable;
    e.pump_timeout_acceptable = check_state_entry(form.pump_timeout_state, last_index).acceptable;
    e.go = e.start_acceptable && e.pump_timeout_acceptable;
    return e;
}

SummaryRequest summary_request(const DefinitionForm& form) {
    SummaryRequest request;
    request.mode = form.mode;
    request.start_state = edit_number(form.start_state);
    if (form.simulate_pump_timeout) {
        request.pump_timeout_state = edit_number(form.pump_timeout_state);
    }
    return request;
}

std::array<int, kSummaryColumnCount> column_widths(bool shrink) {
    std::array<int, kSummaryColumnCount> widths{};
    for (std::size_t i = 0; i < kSummaryColumnCount; ++i) {
        const bool shrunk = shrink && i >= kShrinkFirstColumn && i <= kShrinkLastColumn;
        widths[i] = shrunk ? 0 : kSummaryColumns[i].width_dlu;
    }
    return widths;
}

void save_summary_as(common::Prompter& prompter, const Summary& summary) {
    const auto path = prompter.choose_save_file(
        {.title = "State Machine Summary File",
         .filters = {{"CSV Files (*.csv)", "*.csv"}, {"All Files (*.*)", "*.*"}},
         .default_extension = "csv",
         .initial_name = {},
         .prompt_overwrite = true});
    if (!path) {
        return;
    }
    const std::string caption(kSummarySaveCaption);
    if (!save_summary(*path, summary)) {
        prompter.message(caption, summary_open_failed_message(*path));
    } else if (!summary.rows.empty()) {
        prompter.message(caption, summary_saved_message(*path));
    }
}

}  // namespace kelpira::statemachine
