// The definition dialog's own rules: red state edits that disable "Go", the request it makes,
// shrinking columns, and the summary save with its messages.
#include <gtest/gtest.h>

#include "statemachine/definition_controller.hpp"
#include "support/recording_prompter.hpp"
#include "support/temp_folder.hpp"

namespace kelpira::statemachine {
namespace {

TEST(DefinitionView, StateEditsBeyondTheLastStateDisableGo) {
    DefinitionForm form;
    EXPECT_FALSE(definition_enabling(form, 5).dry_run_controls);
    form.mode = SummaryMode::dry_run;
    form.start_state = "6";
    DefinitionEnabling e = definition_enabling(form, 5);
    EXPECT_TRUE(e.dry_run_controls);
    EXPECT_FALSE(e.start_acceptable || e.go);
    form.start_state = "5";
    form.pump_timeout_state = "9";
    e = definition_enabling(form, 5);
    EXPECT_TRUE(e.start_acceptable);
    EXPECT_FALSE(e.pump_timeout_acceptable || e.go);

    EXPECT_FALSE(summary_request(form).pump_timeout_state);
    form.simulate_pump_timeout = true;
    const SummaryRequest request = summary_request(form);
    EXPECT_EQ(request.start_state, 5U);
    EXPECT_EQ(request.pump_timeout_state, 9U);
}

TEST(DefinitionView, ShrinkingZeroesTheCounterTwoToClimbingColumns) {
    const auto wide = column_widths(false);
    const auto shrunk = column_widths(true);
    EXPECT_EQ(wide[10], 24);
    for (std::size_t i = 0; i < kSummaryColumnCount; ++i) {
        const bool zeroed = i >= 10 && i <= 16;  // "counter2 trigger" .. "climbing depth trigger"
        EXPECT_EQ(shrunk[i], zeroed ? 0 : wide[i]) << kSummaryColumns[i].title;
    }
}

TEST(DefinitionView, SavingTheSummaryReportsWhereItWent) {
    testing::TempFolder folder;
    testing::RecordingPrompter prompter;
    StateMachineImage image;
    clear_image(image);
    const Summary table = build_summary(image, {});
    const std::string good = folder.path("summary.csv");
    const std::string bad = folder.path("missing/summary.csv");
    prompter.files = {good, bad, std::nullopt, folder.path("empty.csv")};
    save_summary_as(prompter, table);
    save_summary_as(prompter, table);
    save_summary_as(prompter, table);
    save_summary_as(prompter, Summary{});  // no rows: saved without a message
    EXPECT_EQ(prompter.file_requests[0].title, "State Machine Summary File");
    EXPECT_EQ(prompter.file_requests[0].default_extension, "csv");
    EXPECT_EQ(prompter.file_requests[0].filters[0].label, "CSV Files (*.csv)");
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Summary saved to " + good,
                                                          "Unable to open " + bad + " for write"}));
    EXPECT_EQ(prompter.prompts[1].caption, "Save State Machine Summary");
}

}  // namespace
}  // namespace kelpira::statemachine
