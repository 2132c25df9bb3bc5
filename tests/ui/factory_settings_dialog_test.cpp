// The Factory Settings dialog on screen (offscreen), wiring only: open on an emulated sensor,
// unlock, rename, save, the message; and the upgrade hook.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "link/identity_commands.hpp"
#include "maintenance/upgrade_controller.hpp"
#include "support/qt_application.hpp"
#include "support/recording_prompter.hpp"
#include "ui/maintenance/factory_settings_dialog.hpp"
#include "virtual_sensor/in_process_device.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

namespace kelpira::ui {
namespace {

using namespace std::chrono_literals;

TEST(FactorySettingsDialogWiring, UnlockRenameAndSave) {
    testing::test_application();
    virtual_sensor::VirtualSensorOptions o;
    o.board_serial_number = 12;
    virtual_sensor::VirtualSensor sensor(o);
    link::InProcessHidBackend backend;
    virtual_sensor::attach_in_process(backend, "/virtual/sensor", sensor);
    link::SensorLink link{backend};
    ASSERT_EQ(link.Open("/virtual/sensor", 5000ms), 0);
    testing::RecordingPrompter prompter;
    std::vector<std::uint8_t> upgrades;

    auto dialog = FactorySettingsDialog::create(link, prompter, [&](std::uint8_t mode) {
        upgrades.push_back(mode);
        return upgrades.size() == 1 ? maintenance::kUpgradeNotDone : maintenance::kUpgradeDone;
    });
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Factory Settings");
    EXPECT_EQ(dialog->name_field()->text(), "Virtual Sensor");
    EXPECT_EQ(dialog->stroke_meter_field()->text(), "18250");
    EXPECT_EQ(dialog->reset_button()->toolTip(), "Reset Pump Stroke Meter To Zero");
    EXPECT_FALSE(dialog->name_field()->isEnabled());

    QTest::keyClicks(dialog->password_field(), "QUOLL");
    EXPECT_EQ(dialog->password_field()->text(), "quoll");
    EXPECT_TRUE(dialog->flash_save_button()->isEnabled());
    EXPECT_TRUE(dialog->nvram_save_button()->isEnabled());

    dialog->board_serial_field()->selectAll();
    QTest::keyClicks(dialog->board_serial_field(), "300");
    EXPECT_FALSE(dialog->flash_save_button()->isEnabled());
    EXPECT_EQ(dialog->board_serial_field()->palette().color(QPalette::Text), QColor(255, 0, 0));
    dialog->board_serial_field()->selectAll();
    QTest::keyClicks(dialog->board_serial_field(), "30");
    dialog->name_field()->selectAll();
    QTest::keyClicks(dialog->name_field(), "Bench Unit");
    QTest::mouseClick(dialog->flash_save_button(), Qt::LeftButton);
    EXPECT_EQ(prompter.texts(),
              std::vector<std::string>{"Saved Processing Board FLASH settings to sensor"});
    link::SensorIdentification id;
    ASSERT_EQ(link::get_sensor_identification(link, id), 0);
    EXPECT_EQ(id.name, "Bench Unit");
    EXPECT_EQ(id.board_serial_number, 30);

    QTest::mouseClick(dialog->reset_button(), Qt::LeftButton);
    EXPECT_EQ(dialog->stroke_meter_field()->text(), "0");
    dialog->show();
    QTest::mouseClick(dialog->upgrade_button(), Qt::LeftButton);
    EXPECT_EQ(upgrades, std::vector<std::uint8_t>{2});
    EXPECT_TRUE(dialog->isVisible()) << "a failed upgrade can be tried again";
    QTest::mouseClick(dialog->upgrade_button(), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible()) << "the sensor restarts after a completed upgrade";
    link.Close();
}

}  // namespace
}  // namespace kelpira::ui
