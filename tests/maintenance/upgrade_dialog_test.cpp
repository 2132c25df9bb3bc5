// The Upgrade dialog's rules: the image chosen by the sensor's mode, the bootloader warning,
// the status texts and closing messages, the cancel rules, and images refused before sending.
#include <gtest/gtest.h>

#include <functional>

#include "maintenance/upgrade_controller.hpp"
#include "maintenance/upgrade_fixture.hpp"
#include "support/recording_prompter.hpp"

namespace kelpira::testing {

// Found by the comparisons inside GoogleTest through the argument's namespace.
bool operator==(const Prompt& a, const Prompt& b) {
    return a.kind == b.kind && a.caption == b.caption && a.text == b.text;
}

}  // namespace kelpira::testing

namespace kelpira::maintenance {

using testing::blocks_sent;
using testing::image_bytes;
using testing::in_bootloader;
using testing::Prompt;

namespace {

class UpgradeDialogTest : public testing::UpgradeFixture {
  protected:
    // Hands the thread's events to the dialog until it ends, keeping the status texts.
    void run_to_end() {
        while (!dialog.result()) {
            dialog.handle(events.next());
            texts.push_back(dialog.status_text());
        }
    }

    UpgradeDialogTest() {
        arrived = [this](const std::string& path) { dialog.device_arrived(path); };
    }

    testing::RecordingPrompter prompter;
    testing::EventQueue events;
    UpgradeController dialog{link, watch(), prompter, events.sink()};
    std::vector<std::string> texts;
};

}  // namespace

TEST_F(UpgradeDialogTest, AFirmwareUpgradeReportsEachBlockAndCompletes) {
    start(in_bootloader());
    prompter.files.push_back(files.write("fw.bin", image_bytes(128)));
    ASSERT_TRUE(dialog.open(1));
    EXPECT_EQ(dialog.title(), "Upgrade Firmware");
    EXPECT_EQ(dialog.image_size(), 128u);
    ASSERT_EQ(prompter.file_requests.size(), 1u);
    const auto& request = prompter.file_requests[0];
    EXPECT_EQ(request.title, "Firmware Binary File");
    ASSERT_EQ(request.filters.size(), 1u);
    EXPECT_EQ(request.filters[0].label, "Firmware Binary Files (*.bin)");
    EXPECT_EQ(request.filters[0].pattern, "*.bin");
    EXPECT_EQ(request.default_extension, "bin");

    run_to_end();
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "Upgrade running, 64 bytes written", "Upgrade running, 128 bytes written",
                         "Image written, 128 bytes; waiting for the sensor to restart",
                         "Upgrade complete, 128 bytes written"}));
    EXPECT_EQ(prompter.prompts.back(),
              (Prompt{"message", "Upgrade", "Upgrade complete, 128 bytes written"}));
    EXPECT_EQ(dialog.result(), kUpgradeDone);
}

TEST_F(UpgradeDialogTest, ABootloaderUpgradeNeedsYesToTheWarning) {
    start({});
    ASSERT_FALSE(dialog.open(2));  // No: the default answer
    EXPECT_EQ(prompter.prompts,
              (std::vector<Prompt>{{"yes_no", "Upgrade Bootloader",
                                    "A bootloader upgrade must be allowed to complete or the "
                                    "sensor will need to be returned to Marivane Sensors for "
                                    "repair. Are you sure you want to do this?"}}));
    EXPECT_EQ(dialog.result(), kUpgradeNotDone);

    UpgradeController again{link, watch(), prompter, events.sink()};
    arrived = [&again](const std::string& path) { again.device_arrived(path); };
    prompter.answers.push_back(common::Answer::Yes);
    prompter.files.push_back(files.write("boot.bin", image_bytes(64)));
    ASSERT_TRUE(again.open(2));
    EXPECT_EQ(again.title(), "Upgrade Bootloader");
    EXPECT_EQ(prompter.file_requests.back().title, "Bootloader Binary File");
    EXPECT_EQ(prompter.file_requests.back().filters[0].label, "Bootloader Binary Files (*.bin)");
    while (!again.result()) {
        again.handle(events.next());
    }
    EXPECT_EQ(again.result(), kUpgradeDone);
    EXPECT_EQ(blocks_sent(*sensor).front().load_address, link::kBootloaderLoadAddress);
}

TEST_F(UpgradeDialogTest, AnEmptyImageIsRefusedNamingTheFile) {
    start(in_bootloader());
    const std::string path = files.write("empty.bin", "");
    prompter.files.push_back(path);
    EXPECT_FALSE(dialog.open(1));
    EXPECT_EQ(prompter.prompts.back(),
              (Prompt{"message", "Upgrade",
                      "The file " + path + " is empty: there is no image to write."}));
    EXPECT_TRUE(sensor->log().empty());
}

TEST_F(UpgradeDialogTest, FailuresReportTheBytesAcceptedAndTheStatus) {
    auto options = in_bootloader();
    options.refuse_block = virtual_sensor::BlockRefusal{5, 3};
    start(options);
    prompter.files.push_back(files.write("fw.bin", image_bytes(1000)));
    ASSERT_TRUE(dialog.open(1));
    run_to_end();
    EXPECT_EQ(prompter.prompts.back(),
              (Prompt{"message", "Upgrade", "Upgrade failed after 320 bytes (3)"}));
    EXPECT_EQ(dialog.result(), kUpgradeNotDone);

    UpgradeController unreadable{link, watch(), prompter, events.sink()};
    prompter.files.push_back(files.path("gone.bin"));
    ASSERT_TRUE(unreadable.open(1));
    while (!unreadable.result()) {
        unreadable.handle(events.next());
    }
    EXPECT_EQ(prompter.prompts.back().text, "Upgrade failed after 0 bytes (1)");
}

TEST_F(UpgradeDialogTest, CancellingAFirmwareUpgradeStopsBeforeTheNextBlock) {
    start(in_bootloader(), 2);
    prompter.files.push_back(files.write("fw.bin", image_bytes(640)));
    ASSERT_TRUE(dialog.open(1));
    wait_until_held();
    dialog.cancel();  // No: the default answer
    EXPECT_FALSE(dialog.result());
    prompter.answers.push_back(common::Answer::Yes);
    dialog.cancel();
    EXPECT_EQ(prompter.prompts.back(),
              (Prompt{"yes_no", "Cancel",
                      "If you interrupt the upgrade now you will need to re-do it later to be "
                      "able to use the sensor again.\nStop the upgrade now?"}));
    EXPECT_EQ(dialog.status_text(), "Stopping...");
    EXPECT_FALSE(dialog.result());
    const std::size_t prompts = prompter.prompts.size();
    dialog.cancel();  // already stopping: not asked again
    EXPECT_EQ(prompter.prompts.size(), prompts);
    release();
    run_to_end();
    EXPECT_EQ(dialog.result(), kUpgradeNotDone);
    EXPECT_EQ(dialog.status_text(), "Upgrade failed after 192 bytes (1)");
    EXPECT_EQ(prompter.prompts.size(), prompts);  // stopped as asked: no message box
    const auto blocks = blocks_sent(*sensor);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks.back().count, 64u);
    EXPECT_EQ(restarts, 0);
}

TEST_F(UpgradeDialogTest, AStopTooLateForTheClosingBlockReportsTheCompletedUpgrade) {
    start(in_bootloader(), 2);
    prompter.files.push_back(files.write("fw.bin", image_bytes(128)));
    ASSERT_TRUE(dialog.open(1));
    wait_until_held();  // the closing block is on its way
    prompter.answers.push_back(common::Answer::Yes);
    dialog.cancel();
    EXPECT_EQ(dialog.status_text(), "Stopping...");
    release();
    run_to_end();
    EXPECT_EQ(dialog.result(), kUpgradeDone);
    EXPECT_EQ(prompter.prompts.back(),
              (Prompt{"message", "Upgrade", "Upgrade complete, 128 bytes written"}));
    EXPECT_EQ(restarts, 1);
}

namespace {

// Hands the thread's events to the dialog while the cancel question is open, as a modal
// question's event loop does, then answers Yes.
class AnswersYesLate : public testing::RecordingPrompter {
  public:
    std::function<void()> while_open;
    common::Answer ask_yes_no(const std::string& caption, const std::string& text) override {
        RecordingPrompter::ask_yes_no(caption, text);
        while_open();
        return common::Answer::Yes;
    }
};

}  // namespace

TEST_F(UpgradeDialogTest, AnOutcomeThatCameWhileTheCancelQuestionWasOpenStands) {
    start(in_bootloader());
    AnswersYesLate late;
    UpgradeController asked{link, watch(), late, events.sink()};
    arrived = [&asked](const std::string& path) { asked.device_arrived(path); };
    late.files.push_back(files.write("fw.bin", image_bytes(128)));
    ASSERT_TRUE(asked.open(1));
    late.while_open = [&] {
        while (!asked.result()) {
            asked.handle(events.next());
        }
    };
    asked.cancel();
    EXPECT_EQ(asked.result(), kUpgradeDone);
    EXPECT_EQ(asked.status_text(), "Upgrade complete, 128 bytes written");
}

TEST_F(UpgradeDialogTest, ABootloaderUpgradeCannotBeCancelled) {
    start({}, 1);
    prompter.answers.push_back(common::Answer::Yes);
    prompter.files.push_back(files.write("boot.bin", image_bytes(200)));
    ASSERT_TRUE(dialog.open(2));
    wait_until_held();
    prompter.answers.push_back(common::Answer::Yes);  // never asked
    dialog.cancel();
    EXPECT_EQ(prompter.prompts.back(),
              (Prompt{"message", "Cancel",
                      "You must let this operation complete or you will have to return the "
                      "sensor to Marivane Sensors for repair."}));
    EXPECT_FALSE(dialog.result());
    release();
    run_to_end();
    EXPECT_EQ(dialog.result(), kUpgradeDone);
    EXPECT_EQ(blocks_sent(*sensor).back().count, 0u);
    EXPECT_EQ(restarts, 1);
}

// Done only once the sensor is back running the image: every other return says what was
// written and what became of the sensor, and the dialog ends with 2.
TEST_F(UpgradeDialogTest, AWrittenImageIsDoneOnlyWhenTheSensorComesBackRunningIt) {
    struct Case {
        virtual_sensor::ImageStart start;
        bool notice;  // the host tells of the restart
        std::string text;
    };
    const std::vector<Case> cases{
        {virtual_sensor::ImageStart::keeps_old_firmware, true,
         "Image written, 300 bytes, but the sensor came back running KELPIRA_2_6_1; the image "
         "names KELPIRA_2_8_3"},
        {virtual_sensor::ImageStart::stays_in_bootloader, true,
         "Image written, 300 bytes, but the sensor came back running its bootloader"},
        {virtual_sensor::ImageStart::runs, false,
         "Image written, 300 bytes, but the sensor was not found again at " + std::string(kPath) +
             " within 1 s"},
    };
    auto options = in_bootloader("KELPIRA_2_6_1");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        options.image_start = c.start;
        start(options);
        UpgradeController upgrade{link, watch(std::chrono::milliseconds(300)), prompter,
                                  events.sink()};
        arrived = [&](const std::string& path) {
            if (c.notice) {
                upgrade.device_arrived(path);
            }
        };
        prompter.files.push_back(files.write("fw.bin", image_bytes(300, "KELPIRA_2_8_3", 120)));
        ASSERT_TRUE(upgrade.open(1));
        while (!upgrade.result()) {
            upgrade.handle(events.next());
        }
        EXPECT_EQ(upgrade.result(), kUpgradeNotDone);
        EXPECT_EQ(prompter.prompts.back(), (Prompt{"message", "Upgrade", c.text}));
        arrived = nullptr;
        link.Close();
    }
}

}  // namespace kelpira::maintenance
