// The platform defaults, RS232 and RS485 dialogs on screen (offscreen), wiring only: open on an
// emulated sensor, pick and type, save, the message and what the sensor kept.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "link/platform_commands.hpp"
#include "support/qt_application.hpp"
#include "support/recording_prompter.hpp"
#include "ui/config/platform_defaults_dialog.hpp"
#include "ui/config/rs232_dialog.hpp"
#include "ui/config/rs485_dialog.hpp"
#include "virtual_sensor/in_process_device.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

namespace kelpira::ui {
namespace {

using namespace std::chrono_literals;

class PlatformDialogWiringTest : public ::testing::Test {
  protected:
    void start(virtual_sensor::VirtualSensorOptions options = {}) {
        testing::test_application();
        sensor = std::make_unique<virtual_sensor::VirtualSensor>(std::move(options));
        virtual_sensor::attach_in_process(backend, "/virtual/sensor", *sensor);
        ASSERT_EQ(link.Open("/virtual/sensor", 3000ms), 0);
    }
    void TearDown() override { link.Close(); }

    static void retype(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    static void pick(QComboBox* list, const QString& text) {
        const int index = list->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    link::InProcessHidBackend backend;
    link::SensorLink link{backend};
    std::unique_ptr<virtual_sensor::VirtualSensor> sensor;
    kelpira::testing::RecordingPrompter prompter;
};

TEST_F(PlatformDialogWiringTest, PlatformDefaultsSave) {
    start();
    auto dialog = PlatformDefaultsDialog::create(link, prompter);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Configure Platform Defaults");
    EXPECT_EQ(dialog->dive_number_field()->toolTip(), "Platform-defined dive number");
    EXPECT_EQ(dialog->direction_list()->currentText(), "Unknown");
    retype(dialog->dive_number_field(), "70000");
    retype(dialog->time_offset_field(), "-3600");
    pick(dialog->direction_list(), "Fixed");
    QTest::mouseClick(dialog->save_button(), Qt::LeftButton);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Settings saved"});
    EXPECT_EQ(dialog->dive_number_field()->text(), "65535");
    link::RecordBytes<records::PlatformDefaults::size> bytes{};
    ASSERT_EQ(link::get_platform_defaults(link, bytes), 0);
    const auto kept = records::decode_platform_defaults(bytes);
    EXPECT_EQ(kept.time_offset_s, -3600);
    EXPECT_EQ(kept.direction, records::kDirectionFixed);
}

TEST_F(PlatformDialogWiringTest, Rs232PlatformChangeAndSave) {
    virtual_sensor::VirtualSensorOptions o;
    o.rs232_protocol = records::kRs232Seaglider;
    start(o);
    auto dialog = Rs232Dialog::create(link, prompter);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->platform_list()->currentText(), "Seaglider");
    EXPECT_TRUE(dialog->mode_list()->isEnabled());
    pick(dialog->baud_list(), "57600");
    pick(dialog->platform_list(), "Generic Streaming");
    EXPECT_EQ(dialog->baud_list()->currentText(), "9600");
    EXPECT_FALSE(dialog->mode_list()->isEnabled());
    pick(dialog->parity_list(), "Odd");
    QTest::mouseClick(dialog->save_button(), Qt::LeftButton);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Settings saved"});
    EXPECT_EQ(dialog->platform_list()->count(), 3) << "Seaglider is no longer stored";
    link::RecordBytes<records::Rs232Config::size> bytes{};
    ASSERT_EQ(link::get_rs232_config(link, bytes), 0);
    const auto kept = records::decode_rs232_config(bytes);
    EXPECT_EQ(kept.protocol, records::kRs232GenericStreaming);
    EXPECT_EQ(kept.parity, records::kParityOdd);
}

TEST_F(PlatformDialogWiringTest, Rs485HubAddressAndSave) {
    start();
    auto dialog = Rs485Dialog::create(link, prompter);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->address_field()->toolTip(), "Sensor slave address on RS485 bus");
    pick(dialog->platform_list(), "SenseOCEAN Hub");
    EXPECT_EQ(dialog->baud_list()->currentText(), "19200");
    EXPECT_EQ(dialog->parity_list()->currentText(), "Even");
    EXPECT_EQ(dialog->address_field()->text(), "64");
    EXPECT_EQ(dialog->poll_rate_field()->text(), "300");
    const QColor normal = dialog->address_field()->palette().color(QPalette::Text);
    EXPECT_NE(normal, QColor(255, 0, 0));
    retype(dialog->address_field(), "72");
    EXPECT_EQ(dialog->address_field()->palette().color(QPalette::Text), QColor(255, 0, 0));
    retype(dialog->address_field(), "71");
    EXPECT_EQ(dialog->address_field()->palette().color(QPalette::Text), normal);
    QTest::mouseClick(dialog->save_button(), Qt::LeftButton);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Settings saved"});
    link::RecordBytes<records::Rs485Config::size> bytes{};
    ASSERT_EQ(link::get_rs485_config(link, bytes), 0);
    EXPECT_EQ(records::decode_rs485_config(bytes).slave_address, 71);
}

}  // namespace
}  // namespace kelpira::ui
