// CLEAR_OUTPUTS and CLEAR_DIAGNOSTICS behind their question.
#include "views/store_clear.hpp"

#include <string>

#include "link/board_commands.hpp"
#include "link/operation_commands.hpp"
#include "views/row_list.hpp"

namespace kelpira::views {

void clear_sensor_store(link::SensorLink& link, common::Prompter& prompter, SensorStore store,
                        std::size_t unlisted, const ClearSteps& steps) {
    const bool outputs = store == SensorStore::ProcessedOutput;
    std::string question = outputs ? "This will permanently wipe the processed output data from "
                                     "the sensor. Are you sure you want to do this?"
                                   : "This will permanently wipe the diagnostic log on the "
                                     "sensor. Are you sure you want to do this?";
    if (unlisted > 0) {
        question += "\n\n" + older_rows_text(unlisted, outputs ? kRecordNoun : kLogEntryNoun) +
                    (unlisted == 1 ? " is" : " are") +
                    " no longer in the list and cannot be saved from it.";
    }
    if (prompter.ask_yes_no("Clear", question) != common::Answer::Yes) {
        return;
    }
    steps.stop_worker();
    const link::CommandResult result =
        outputs ? link::clear_outputs(link) : link::clear_diagnostics(link);
    if (result == link::kResultSuccess) {
        steps.empty_list();
    } else {
        prompter.message("Clear", outputs ? "Unable to clear outputs" : "Unable to clear log");
    }
    steps.start_worker();
}

}  // namespace kelpira::views
