// The editor against the emulated sensor: opening reads the defaults and the program, saving
// and refreshing report with their captions, and failures restore what was there.
#include <gtest/gtest.h>

#include <cstdio>

#include "link/command_catalogue.hpp"
#include "statemachine/editor_controller.hpp"
#include "support/recording_prompter.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

namespace kelpira::statemachine {
namespace {

using common::Answer;
using link::CommandCode;
using virtual_sensor::Fault;
using virtual_sensor::FaultKind;

constexpr auto kInfo = link::code_value(CommandCode::GET_STATE_MACHINE_INFO);
constexpr auto kGet = link::code_value(CommandCode::GET_STATE_RECORD);
constexpr auto kSet = link::code_value(CommandCode::SET_STATE_RECORD);
constexpr auto kOptics = link::code_value(CommandCode::GET_OPTICS_DEFAULTS);
constexpr auto kPump = link::code_value(CommandCode::GET_PUMP_VALVE_DEFAULTS);

class EditorOnSensor : public virtual_sensor::testing::SensorFixture {
  protected:
    void open_editor() {
        editor = std::make_unique<EditorController>(
            session, prompter, &link,
            EditorAsks{.paste_options = {},
                       .status_shown = [this](const std::string& s) { statuses.push_back(s); }});
        editor->open();
    }
    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const auto& p : prompter.prompts) {
            out.push_back(p.caption + "|" + p.text);
        }
        return out;
    }

    EditorSession session;
    testing::RecordingPrompter prompter;
    std::vector<std::string> statuses;  // as shown, before any transfer or message
    std::unique_ptr<EditorController> editor;
};

TEST_F(EditorOnSensor, OpensWithTheSensorsDefaultsAndProgram) {
    start();
    sensor->clear_log();
    open_editor();
    const auto codes = sensor->logged_codes();
    ASSERT_GE(codes.size(), 4U);
    EXPECT_EQ((std::vector<std::uint16_t>(codes.begin(), codes.begin() + 4)),
              (std::vector<std::uint16_t>{kOptics, kPump, kInfo, kGet}));
    EXPECT_EQ(editor->status(), "Loaded state machine successfully from sensor");
    EXPECT_EQ(editor->count_text(),
              "This state machine has " + std::to_string(session.image.state_count()) + " states");
    EXPECT_TRUE(matches_snapshot(session.image));
    EXPECT_TRUE(editor->enabling().save_to_sensor);

    // The read-only edits show the sensor's defaults: LED 1's current, the Hall stop values.
    const auto optics = sensor->record(kOptics).value();
    const auto pump = sensor->record(kPump).value();
    const unsigned led1_ua = optics[3] | (optics[4] << 8);
    char led1[16];
    std::snprintf(led1, sizeof led1, "%u.%03u", led1_ua / 1000, led1_ua % 1000);
    EXPECT_EQ(editor->form().led_current[0],
              session.image.states[0].led_drive[0] != 0 ? led1 : "0.000");
    EXPECT_EQ(editor->form().hall_stop_inject, std::to_string(pump[10] | (pump[11] << 8)));
}

TEST_F(EditorOnSensor, SaveAndRefreshReportWithTheirCaptions) {
    start();
    open_editor();
    statuses.clear();
    editor->save_to_sensor();
    EXPECT_EQ(statuses, (std::vector<std::string>{"Save started", "Save complete"}));

    editor->form().default_next = "200";
    prompter.answers = {Answer::Cancel, Answer::No};
    editor->refresh_from_sensor();
    EXPECT_EQ(editor->status(), "Load from sensor cancelled.");
    EXPECT_EQ(session.image.states[0].default_next, 200);
    editor->refresh_from_sensor();
    EXPECT_EQ(editor->status(), "Refresh complete");
    EXPECT_NE(editor->form().default_next, "200");
    EXPECT_EQ(messages(), (std::vector<std::string>{
                              "Save (to sensor)|Saved successfully.",
                              "Refresh (from sensor)|Save current state machine to file first?",
                              "Refresh (from sensor)|Save current state machine to file first?",
                              "Refresh (from sensor)|Refreshed successfully."}));
}

TEST_F(EditorOnSensor, FailuresShowTheirTextsAndARefreshRestoresTheSnapshot) {
    start({}, std::chrono::milliseconds(100));
    open_editor();
    const auto loaded = session.image.states;
    const auto count = session.image.last_index;

    editor->go_to(2);
    editor->form().default_next = "200";
    sensor->inject(kSet, Fault{FaultKind::no_answer}, 1, 1);
    editor->save_to_sensor();
    EXPECT_EQ(editor->status(),
              "Save failed (1 of " + std::to_string(count + 1) +
                  " states acknowledged; state 1 may also have been written (its answer was "
                  "lost))");

    sensor->inject(kGet, Fault{FaultKind::no_answer}, 1, 3);
    prompter.answers = {Answer::No};
    editor->refresh_from_sensor();
    EXPECT_EQ(editor->status(), "Refresh failed");
    EXPECT_EQ(session.image.states, loaded);  // the edit made since the load is gone too
    EXPECT_EQ(session.image.last_index, count);
    EXPECT_EQ(editor->state_title(), "STATE 000");
    EXPECT_EQ(messages(), (std::vector<std::string>{
                              "Save (to sensor)|Failed to save state machine to sensor",
                              "Refresh (from sensor)|Save current state machine to file first?",
                              "Refresh (from sensor)|Failed to refresh state machine from sensor "
                              "controller"}));

    sensor->inject(kInfo, Fault{FaultKind::no_answer}, 1);
    open_editor();
    EXPECT_EQ(editor->status(), "Failed to load state machine from sensor");
    EXPECT_EQ(session.image.last_index, 0);
    EXPECT_TRUE(matches_snapshot(session.image));
}

}  // namespace
}  // namespace kelpira::statemachine
