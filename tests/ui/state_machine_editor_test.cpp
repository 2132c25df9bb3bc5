// The state-machine editor's wiring on screen (offscreen): shortcuts, buttons, an edit read
// back into the image, the File menu's save, the LED lists and the unsaved-edits question
// on closing.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "support/qt_application.hpp"
#include "support/recording_prompter.hpp"
#include "support/temp_folder.hpp"
#include "ui/statemachine/editor_window.hpp"

namespace kelpira::ui {
namespace {

TEST(StateMachineEditorWidget, MovesEditsInsertsAndSavesThroughItsControls) {
    testing::test_application();
    testing::RecordingPrompter prompter;
    testing::TempFolder folder;
    statemachine::EditorSession session;
    EditorWindow editor(session, prompter, nullptr, {});
    editor.show();
    editor.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));  // shortcuts need the active window
    EXPECT_EQ(editor.state_title(), "STATE 000");
    EXPECT_EQ(editor.status_text(), "Empty state machine (not connected)");
    EXPECT_FALSE(editor.next_button()->isEnabled());

    QTest::keyClick(&editor, Qt::Key_J, Qt::ControlModifier);  // insert after
    EXPECT_EQ(editor.status_text(), "Inserted");
    EXPECT_EQ(editor.state_title(), "STATE 001");
    EXPECT_TRUE(editor.previous_button()->isEnabled());

    QLineEdit* delay = editor.widgets().delay_s;
    delay->selectAll();
    QTest::keyClicks(delay, "45");
    editor.widgets().power_mode->setCurrentIndex(0);  // "Idle" disables the delay
    EXPECT_FALSE(delay->isEnabled());
    QTest::mouseClick(editor.previous_button(), Qt::LeftButton);
    EXPECT_EQ(editor.state_title(), "STATE 000");
    EXPECT_EQ(session.image.states[1].delay_s, 45U);
    EXPECT_EQ(session.image.states[1].power_mode, statemachine::kPowerIdle);

    QTest::mouseClick(editor.next_button(), Qt::LeftButton);
    EXPECT_EQ(editor.widgets().power_mode->currentText(), "Idle");
    EXPECT_EQ(delay->text(), "45");
    QTest::keyClick(&editor, Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(delay->isEnabled());
    delay->selectAll();
    QTest::keyClicks(delay, "30");

    const std::string path = folder.path("edited.asm");
    prompter.files = {path};
    editor.save_file_action()->trigger();
    EXPECT_EQ(editor.status_text(), "Saved");
    EXPECT_EQ(session.image.states[0].delay_s, 30U);
    EXPECT_EQ(std::filesystem::file_size(path), 2 * statemachine::StateRecord::size);
}

TEST(StateMachineEditorWidget, LedListsAndClosingAreWired) {
    testing::test_application();
    testing::RecordingPrompter prompter;
    statemachine::EditorSession session;
    EditorWindow editor(session, prompter, nullptr, {});
    editor.show();
    session.image.state_defaults.led_current_ua[0] = 12345;
    editor.widgets().leds[0]->setCurrentIndex(1);  // "Off"
    EXPECT_EQ(editor.widgets().led_currents[0]->text(), "0.000");
    editor.widgets().leds[0]->setCurrentIndex(0);  // "On"
    EXPECT_EQ(editor.widgets().led_currents[0]->text(), "12.345");

    editor.controller().insert_after();  // an unsaved edit
    prompter.answers = {common::Answer::Cancel, common::Answer::No};
    editor.close();  // the close box
    EXPECT_TRUE(editor.isVisible());
    QTest::keyClick(&editor, Qt::Key_Escape);
    EXPECT_FALSE(editor.isVisible());
    ASSERT_EQ(prompter.prompts.size(), 2u);
    EXPECT_EQ(prompter.prompts[1].caption, "Exit");
}

}  // namespace
}  // namespace kelpira::ui
