// The editor's commands without a sensor: statuses, labels, the write-back of the controls,
// paste options with Cancel, the save prompt, and loading and saving files.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "statemachine/editor_controller.hpp"
#include "statemachine/state_files.hpp"
#include "support/recording_prompter.hpp"
#include "support/temp_folder.hpp"

namespace kelpira::statemachine {
namespace {

using common::Answer;
using testing::Prompt;

struct EditorTest : ::testing::Test {
    EditorTest() { editor.open(); }

    // Grows the program to `count` states by inserting after the state shown.
    void grow_to(std::size_t count) {
        while (session.image.state_count() < count) {
            editor.insert_after();
        }
    }
    std::vector<std::string> captions_and_texts() const {
        std::vector<std::string> out;
        for (const Prompt& p : prompter.prompts) {
            out.push_back(p.kind + "|" + p.caption + "|" + p.text);
        }
        return out;
    }

    EditorSession session;
    testing::RecordingPrompter prompter;
    testing::TempFolder folder;
    std::deque<std::optional<std::uint8_t>> paste_answers;
    std::vector<std::uint8_t> paste_offered;
    EditorController editor{session, prompter, nullptr,
                            EditorAsks{.paste_options =
                                           [this](std::uint8_t remembered) {
                                               paste_offered.push_back(remembered);
                                               auto answer = paste_answers.front();
                                               paste_answers.pop_front();
                                               return answer;
                                           },
                                       .status_shown = {}}};
};

TEST_F(EditorTest, OpensEmptyWithoutASensor) {
    EXPECT_EQ(editor.status(), "Empty state machine (not connected)");
    EXPECT_EQ(editor.state_title(), "STATE 000");
    EXPECT_EQ(editor.count_text(), "State machine not loaded");
    EXPECT_EQ(editor.form().delay_s, "1");  // a default state
    EXPECT_FALSE(editor.enabling().save_to_sensor);
}

TEST_F(EditorTest, EditsAreWrittenBackAndMovesStopAtTheEnds) {
    grow_to(3);
    EXPECT_EQ(editor.status(), "Inserted");
    EXPECT_EQ(editor.state_title(), "STATE 002");
    EXPECT_EQ(editor.count_text(), "This state machine has 3 states");

    editor.form().default_next = "7";
    editor.previous();
    EXPECT_EQ(session.image.states[2].default_next, 7);
    EXPECT_EQ(session.image.states[2].normalised, 0);
    EXPECT_EQ(editor.state_title(), "STATE 001");

    editor.go_to(3);  // beyond the last state: stays
    EXPECT_EQ(session.image.current, 1);
    editor.go_to(0);
    editor.previous();
    EXPECT_EQ(session.image.current, 0);
    editor.go_to(2);
    editor.next();
    EXPECT_EQ(session.image.current, 2);
    EXPECT_EQ(editor.form().default_next, "7");
    // States only looked at keep their bytes, so the program still matches its last save.
    EXPECT_EQ(session.image.states[1].normalised, 1);
}

TEST_F(EditorTest, RefusedInsertsAndDeletesShowNoStatus) {
    editor.delete_state();  // the only state
    EXPECT_EQ(editor.status(), "Empty state machine (not connected)");
    grow_to(2);
    editor.delete_state();
    EXPECT_EQ(editor.status(), "Deleted");
    EXPECT_EQ(session.image.last_index, 0);

    session.image.last_index = kMaxLastIndex;
    editor.copy();
    editor.insert_before();
    EXPECT_EQ(editor.status(), "Copied");
    EXPECT_EQ(session.image.last_index, kMaxLastIndex);
}

TEST_F(EditorTest, PasteAsksForOptionsAndCancelAbandonsIt) {
    grow_to(2);
    editor.paste();  // nothing copied yet: no question
    EXPECT_TRUE(paste_offered.empty());

    editor.go_to(0);
    editor.form().valves[3] = true;
    editor.form().delay_s = "99";
    editor.copy();
    EXPECT_EQ(editor.status(), "Copied");
    editor.next();
    const StateRecord before = session.image.states[1];

    paste_answers = {std::nullopt, kPasteValves};
    editor.paste();
    EXPECT_EQ(session.image.states[1], before);
    EXPECT_EQ(editor.status(), "Copied");
    EXPECT_EQ(session.paste_options, 0);

    editor.paste();
    EXPECT_EQ(paste_offered, (std::vector<std::uint8_t>{0, 0}));
    EXPECT_EQ(editor.status(), "Pasted");
    EXPECT_TRUE(editor.form().valves[3]);
    EXPECT_EQ(editor.form().delay_s, "1");  // only the valves came
    EXPECT_EQ(session.paste_options, kPasteValves);

    editor.cut();
    EXPECT_EQ(editor.status(), "Cut");
    EXPECT_EQ(session.image.last_index, 0);
    EXPECT_TRUE(session.clipboard.record.valve_mask & (1U << 3));

    editor.cut();  // the only state stays: it was only copied
    EXPECT_EQ(editor.status(), "Copied");
    EXPECT_EQ(session.image.last_index, 0);
}

TEST_F(EditorTest, NewOffersToSaveAChangedProgramFirst) {
    editor.new_program();  // unchanged: no question
    EXPECT_TRUE(prompter.prompts.empty());

    grow_to(2);
    prompter.answers = {Answer::Cancel, Answer::Yes, Answer::Yes, Answer::No};
    editor.new_program();
    EXPECT_EQ(session.image.last_index, 1);
    EXPECT_EQ(prompter.prompts.back().caption, "New");
    EXPECT_EQ(prompter.prompts.back().text, "Save current state machine to file first?");

    editor.new_program();  // Yes, then the file chooser is cancelled
    EXPECT_EQ(session.image.last_index, 1);
    EXPECT_EQ(editor.status(), "Save cancelled");

    const std::string path = folder.path("before-new.asm");
    prompter.files = {path};
    editor.new_program();  // Yes, saved
    EXPECT_EQ(std::filesystem::file_size(path), 2 * StateRecord::size);
    EXPECT_EQ(session.image.last_index, 0);

    grow_to(2);
    editor.new_program();  // No
    EXPECT_EQ(session.image.last_index, 0);
}

TEST_F(EditorTest, SavesAndLoadsFilesWithTheirStatusesAndFailures) {
    grow_to(3);
    editor.form().sync_value = "42";
    editor.form().send_sync = true;
    editor.save_to_file();
    EXPECT_EQ(editor.status(), "Save cancelled");
    const common::FileRequest& request = prompter.file_requests.back();
    EXPECT_EQ(request.title, "State Machine File");
    EXPECT_EQ(request.default_extension, "asm");
    ASSERT_EQ(request.filters.size(), 4U);
    EXPECT_EQ(request.filters[0].label, "TQM2 State Machine Files (*.asm)");
    EXPECT_EQ(request.filters[1].label, "TQM1 State Machine Files (*.dat)");
    EXPECT_EQ(request.filters[2].label, "JSON State Machine Files (*.json)");
    EXPECT_EQ(request.filters[2].pattern, "*.json");
    EXPECT_EQ(request.filters[3].pattern, "*.*");

    const std::string path = folder.path("program.asm");
    prompter.files = {path};
    editor.save_to_file();
    EXPECT_EQ(editor.status(), "Saved");
    EXPECT_TRUE(matches_snapshot(session.image));
    EXPECT_EQ(std::filesystem::file_size(path), 3 * StateRecord::size);

    editor.new_program();
    editor.load_from_file();
    EXPECT_EQ(editor.status(), "Load cancelled");
    prompter.files = {path};
    editor.load_from_file();
    EXPECT_EQ(editor.status(), "Loaded state machine successfully from file");
    EXPECT_EQ(editor.count_text(), "This state machine has 3 states");
    editor.go_to(2);
    EXPECT_EQ(editor.form().sync_value, "42");

    prompter.files = {folder.path("no-such-folder/program.asm"), folder.path("missing.asm")};
    editor.save_to_file();
    EXPECT_EQ(session.image.last_index, 2);  // unchanged by a failed save
    editor.load_from_file();
    EXPECT_EQ(session.image.last_index, 2);  // and by a failed load
    EXPECT_EQ(editor.state_title(), "STATE 002");
    EXPECT_EQ(
        captions_and_texts(),
        (std::vector<std::string>{
            "save|State Machine File|", "save|State Machine File|", "open|State Machine File|",
            "open|State Machine File|", "save|State Machine File|",
            "message|Save To File|Failed to save file", "open|State Machine File|",
            "message|Load From File|Failed to load file\n"
            "cannot open the file"}));
}

TEST_F(EditorTest, AFailedLoadKeepsTheUnsavedProgramAndSaysWhy) {
    grow_to(3);
    editor.go_to(1);
    editor.form().delay_s = "77";
    const std::string path = folder.path("typo.json");
    {
        std::ostringstream good;
        ASSERT_TRUE(write_program(good, FileLayout::json, session.image));
        std::string text = good.str();
        text.replace(text.find("\"pump_on\""), 9, "\"pump_of\"");
        std::ofstream(path) << text;
    }
    prompter.answers = {Answer::No};  // not saved first
    prompter.files = {path};
    editor.load_from_file();
    EXPECT_EQ(captions_and_texts().back(),
              "message|Load From File|Failed to load file\nline 8: state 0, field \"pump_of\": "
              "unknown field");
    EXPECT_EQ(session.image.last_index, 2);
    EXPECT_EQ(session.image.states[1].delay_s, 77u);
    EXPECT_FALSE(matches_snapshot(session.image)) << "New must still offer to save it";
}

TEST_F(EditorTest, LoadAndCloseOfferToSaveUnsavedEditsFirst) {
    EXPECT_TRUE(editor.close());  // nothing changed: no question
    EXPECT_TRUE(prompter.prompts.empty());
    grow_to(2);
    prompter.answers = {Answer::Cancel, Answer::Cancel, Answer::No};
    editor.load_from_file();
    EXPECT_EQ(editor.status(), "Load cancelled");
    EXPECT_FALSE(editor.close());
    EXPECT_TRUE(editor.close());
    EXPECT_EQ(captions_and_texts(),
              (std::vector<std::string>{
                  "yes_no_cancel|Load From File|Save current state machine to file first?",
                  "yes_no_cancel|Exit|Save current state machine to file first?",
                  "yes_no_cancel|Exit|Save current state machine to file first?"}));
    EXPECT_EQ(session.image.last_index, 1);  // closing keeps the image in memory
}

TEST_F(EditorTest, TheLegacyLayoutIsWrittenOnlyWhenTheUserAcceptsWhatItLoses) {
    grow_to(2);
    editor.form().power_mode = row_of(kPowerModeList, kPowerHibernating);
    editor.form().send_sync = true;
    editor.form().sync_value = "9";
    const std::string path = folder.path("old.dat");
    prompter.answers = {Answer::No, Answer::Yes};
    prompter.files = {path, path};
    editor.save_to_file();
    EXPECT_EQ(editor.status(), "Save cancelled");
    EXPECT_FALSE(std::filesystem::exists(path));
    editor.save_to_file();
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(captions_and_texts()[1],
              "yes_no|Save To File|The legacy layout (.dat) cannot keep all of this program: "
              "hibernation (read back as idle), sync values.\nSave it anyway?");
    EXPECT_FALSE(matches_snapshot(session.image));

    editor.form().power_mode = row_of(kPowerModeList, kPowerIdle);
    editor.form().send_sync = false;
    prompter.files = {path};
    editor.save_to_file();  // nothing lost: no question, and saved
    EXPECT_EQ(editor.status(), "Saved");
    EXPECT_TRUE(matches_snapshot(session.image));
}

TEST_F(EditorTest, AnLedSwitchedOnShowsItsDefaultCurrentAtOnce) {
    session.image.state_defaults.led_current_ua = {12345, 0, 0, 0};
    editor.form().leds[0] = row_of(kLedList, kLedOff);
    editor.led_changed();
    EXPECT_EQ(editor.form().led_current[0], "0.000");
    editor.form().leds[0] = row_of(kLedList, kLedOn);
    editor.led_changed();
    EXPECT_EQ(editor.form().led_current[0], "12.345");
}

}  // namespace
}  // namespace kelpira::statemachine
