// The Upgrade dialog wired to the Connect view: the button, the modal dialog with its status
// text and progress bar, and the list once the sensor is back.
#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>

#include "support/temp_folder.hpp"
#include "ui/maintenance/upgrade_window.hpp"
#include "ui/shell_fixture.hpp"

namespace kelpira::testing {
namespace {

class UpgradeWindowTest : public ShellFixture {
  protected:
    TempFolder files;
};

TEST_F(UpgradeWindowTest, TheConnectViewUpgradesABootloaderSensor) {
    auto options = sensor("Boot Sensor", 12, virtual_sensor::RunningCode::bootloader);
    options.firmware_version = "KELPIRA_2_6_1";
    auto& boot = plug("/virtual/boot", options);
    open_window();
    QPushButton* upgrade = connect_view()->upgrade_button();
    EXPECT_EQ(upgrade->text(), "Upgrade Firmware");
    EXPECT_EQ(upgrade->toolTip(), "Upgrade Sensor Firmware");
    EXPECT_FALSE(upgrade->isEnabled());
    click_row(0);
    ASSERT_TRUE(upgrade->isEnabled());

    prompter.files.push_back(files.write("fw.bin", std::string(100, 'x') + "KELPIRA_2_8_3"));
    QTest::mouseClick(upgrade, Qt::LeftButton);  // returns once the modal dialog has ended
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Upgrade complete, 113 bytes written"}));
    EXPECT_FALSE(upgrade->isEnabled());
    settle();  // the sensor's arrival after its restart
    EXPECT_EQ(list_rows()[0][2], "Firmware");
    std::string version;
    boot.edit_state([&](virtual_sensor::SensorState& s) { version = s.options.firmware_version; });
    EXPECT_EQ(version, "KELPIRA_2_8_3");
}

TEST_F(UpgradeWindowTest, TheDialogShowsTheStatusAndTheBytesWritten) {
    plug("/virtual/boot", sensor("Boot Sensor", 12, virtual_sensor::RunningCode::bootloader));
    ASSERT_EQ(link.Open("/virtual/boot", std::chrono::milliseconds(5000)), 0);
    prompter.files.push_back(files.write("fw.bin", std::string(200, 'x')));
    maintenance::ReturnWatch watch{&backend, "/virtual/boot"};
    watch.signal->arrived();  // the restart's arrival notice, as the Connect view passes it on
    ui::UpgradeWindow dialog(link, watch, prompter);
    ASSERT_TRUE(dialog.open(1));
    EXPECT_EQ(dialog.windowTitle(), "Upgrade Firmware");
    EXPECT_EQ(dialog.progress_bar()->maximum(), 200);
    EXPECT_EQ(dialog.cancel_button()->text(), "Cancel");
    EXPECT_EQ(dialog.exec(), 1);
    EXPECT_EQ(dialog.status_label()->text(), "Upgrade complete, 200 bytes written");
    EXPECT_EQ(dialog.progress_bar()->value(), 200);
}

}  // namespace
}  // namespace kelpira::testing
