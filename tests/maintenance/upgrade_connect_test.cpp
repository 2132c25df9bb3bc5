// "Upgrade Firmware" from the Connect view, end to end: a sensor in its bootloader on old
// firmware takes the latest image, restarts running it, is listed again and connects, and its
// compatibility verdict is the latest one's.
#include <gtest/gtest.h>

#include "connect/connect_controller.hpp"
#include "link/compatibility_verdict.hpp"
#include "link/identity_probe.hpp"
#include "maintenance/upgrade_controller.hpp"
#include "maintenance/upgrade_fixture.hpp"
#include "support/recording_prompter.hpp"
#include "virtual_sensor/in_process_device.hpp"

namespace kelpira::maintenance {

using testing::blocks_sent;
using testing::image_bytes;
using testing::in_bootloader;

namespace {

class UpgradeFromConnectView : public ::testing::Test {
  protected:
    UpgradeFromConnectView() {
        virtual_sensor::attach_in_process(backend, "/virtual/old", sensor, [this] {
            ++arrivals;
            if (arrived) {
                arrived("/virtual/old");
            }
        });
        view.start();
    }
    ~UpgradeFromConnectView() override { link.Close(); }

    testing::TempFolder files;
    link::InProcessHidBackend backend;
    link::SensorLink link{backend};
    virtual_sensor::VirtualSensor sensor{in_bootloader("KELPIRA_2_6_1")};
    testing::RecordingPrompter prompter;
    std::vector<link::DeviceEntry> connected;
    connect::ConnectController view{backend, link, prompter,
                                    [this](const link::DeviceEntry& e) { connected.push_back(e); }};
    std::atomic<int> arrivals{0};
    std::function<void(const std::string&)> arrived;
};

}  // namespace

TEST_F(UpgradeFromConnectView, TheUpgradedSensorComesBackOnTheLatestFirmware) {
    ASSERT_EQ(view.rows().size(), 1u);
    EXPECT_EQ(view.rows()[0].state, "Bootloader (v3)");
    view.select_row(0);
    ASSERT_TRUE(view.actions().upgrade_firmware);

    // A firmware image that carries its version text past its first block.
    prompter.files.push_back(files.write("kelpira.bin", image_bytes(300, "KELPIRA_2_8_3", 120)));
    std::optional<int> result;
    upgrade_firmware(view, link, prompter, [&](link::DeviceMode mode) {
        EXPECT_EQ(mode, link::kModeBootloader);
        EXPECT_EQ(link.timeout(), kMaintenanceTimeout);
        testing::EventQueue events;
        UpgradeController dialog(link, selected_sensor_watch(view, backend), prompter,
                                 events.sink());
        arrived = [&dialog](const std::string& path) { dialog.device_arrived(path); };
        ASSERT_TRUE(dialog.open(mode));
        while (!dialog.result()) {
            dialog.handle(events.next());
        }
        result = dialog.result();
        arrived = nullptr;
    });
    EXPECT_EQ(result, kUpgradeDone);
    EXPECT_EQ(prompter.texts().back(), "Upgrade complete, 300 bytes written");
    EXPECT_FALSE(link.is_open());
    EXPECT_FALSE(view.selected_row());
    EXPECT_FALSE(view.actions().connect);
    EXPECT_EQ(view.rows()[0].state, "Firmware");  // listed again as it is now

    // The sensor's own arrival after its restart, then connecting as the user would.
    ASSERT_EQ(arrivals, 1);
    view.device_arrived();
    view.select_row(0);
    view.connect();
    ASSERT_EQ(connected.size(), 1u);
    const auto version = link::read_firmware_version_text(link);
    ASSERT_EQ(version, "KELPIRA_2_8_3");
    const auto verdict = link::judge_firmware(*version).verdict;
    EXPECT_EQ(verdict.front().text, "Sensor's Firmware Version: KELPIRA_2_8_3");
    EXPECT_EQ(verdict.back().text, "All operations are safe.");
}

TEST_F(UpgradeFromConnectView, NothingSelectedOrNoLink) {
    int dialogs = 0;
    const auto count = [&](link::DeviceMode) { ++dialogs; };
    upgrade_firmware(view, link, prompter, count);
    view.select_row(0);
    ASSERT_EQ(link.Open("/virtual/old", kMaintenanceTimeout), 0);  // held elsewhere
    upgrade_firmware(view, link, prompter, count);
    link.Close();
    EXPECT_EQ(dialogs, 0);
    ASSERT_EQ(prompter.prompts.size(), 2u);
    EXPECT_EQ(prompter.prompts[0].caption, "Upgrade Firmware");
    EXPECT_EQ(prompter.prompts[0].text, "Nothing selected");
    EXPECT_EQ(prompter.prompts[1].caption, "Upgrade Firmware");
    EXPECT_EQ(prompter.prompts[1].text, "Failed to connect to sensor");
}

}  // namespace kelpira::maintenance
