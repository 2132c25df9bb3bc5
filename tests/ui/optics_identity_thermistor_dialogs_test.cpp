// The optics, identification and thermistor dialogs on screen (offscreen), wiring only: open
// on an emulated sensor, edit a field, save, the message; and the live test's reports reaching
// the value fields through the UI thread.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "link/identity_commands.hpp"
#include "records/chemistry_transfer.hpp"
#include "support/qt_application.hpp"
#include "support/recording_prompter.hpp"
#include "ui/config/optics_valves_pump_dialog.hpp"
#include "ui/config/sensor_identification_dialog.hpp"
#include "ui/config/thermistors_dialog.hpp"
#include "virtual_sensor/in_process_device.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

namespace kelpira::ui {
namespace {

using namespace std::chrono_literals;

class ConfigDialogWiringTest : public ::testing::Test {
  protected:
    ConfigDialogWiringTest() {
        testing::test_application();
        virtual_sensor::attach_in_process(backend, "/virtual/sensor", sensor);
        EXPECT_EQ(link.Open("/virtual/sensor", 3000ms), 0);
    }
    ~ConfigDialogWiringTest() override { link.Close(); }

    static void retype(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    // Runs the event loop until `spy` has seen a signal (the guard is never reached unless
    // something is broken).
    static bool wait_for(QSignalSpy& spy) {
        QTimer guard;
        guard.setSingleShot(true);
        guard.start(30000);
        while (spy.isEmpty() && guard.isActive()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        return !spy.isEmpty();
    }

    virtual_sensor::VirtualSensor sensor;
    link::InProcessHidBackend backend;
    link::SensorLink link{backend};
    testing::RecordingPrompter prompter;
};

TEST_F(ConfigDialogWiringTest, OpticsSavesAndShowsTheLiveTest) {
    auto dialog = OpticsValvesPumpDialog::create(link, prompter, nullptr, 1ms);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Configure Optics, Valves & Pump Defaults");
    EXPECT_EQ(dialog->led_field(0)->toolTip(), "LED current (0mA-48mA)");
    retype(dialog->led_field(0), "50");
    QTest::mouseClick(dialog->save_button(), Qt::LeftButton);
    ASSERT_EQ(prompter.texts(), std::vector<std::string>{"Settings saved"});
    EXPECT_EQ(dialog->led_field(0)->text(), "48.000");

    EXPECT_FALSE(dialog->start_stop_button()->isEnabled());
    QTest::mouseClick(dialog->test_optics_box(), Qt::LeftButton);
    ASSERT_TRUE(dialog->start_stop_button()->isEnabled());
    QTest::mouseClick(dialog->start_stop_button(), Qt::LeftButton);
    EXPECT_EQ(dialog->start_stop_button()->text(), "Stop");
    EXPECT_FALSE(dialog->save_button()->isEnabled());
    QSignalSpy polled(dialog.get(), &OpticsValvesPumpDialog::test_polled);
    ASSERT_TRUE(wait_for(polled));
    EXPECT_GT(dialog->channel_field(0)->text().toInt(), 60000) << "LED 0 at 48 mA";
    QTest::mouseClick(dialog->start_stop_button(), Qt::LeftButton);
    EXPECT_EQ(dialog->start_stop_button()->text(), "Start");
    dialog->reject();
}

TEST_F(ConfigDialogWiringTest, IdentificationRedEntriesAndSave) {
    auto dialog = SensorIdentificationDialog::create(link, prompter);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->name_field()->text(), "Virtual Sensor");
    retype(dialog->name_field(), QString(21, 'x'));
    EXPECT_FALSE(dialog->save_button()->isEnabled());
    EXPECT_EQ(dialog->name_field()->palette().color(QPalette::Text), QColor(255, 0, 0));
    retype(dialog->name_field(), "Bench Unit");
    ASSERT_TRUE(dialog->save_button()->isEnabled());
    QTest::mouseClick(dialog->save_button(), Qt::LeftButton);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Settings saved"});
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    link::SensorIdentification id;
    ASSERT_EQ(link::get_sensor_identification(link, id), 0);
    EXPECT_EQ(id.name, "Bench Unit");
}

TEST_F(ConfigDialogWiringTest, IdentificationKeepsANameThatIsNotUtf8UnlessEdited) {
    link::SensorIdentification id;
    ASSERT_EQ(link::get_sensor_identification(link, id), 0);
    id.name = "\xB5mol \xFF";
    ASSERT_EQ(link::set_sensor_identification(link, id), 0);
    auto dialog = SensorIdentificationDialog::create(link, prompter);
    ASSERT_NE(dialog, nullptr);
    retype(dialog->serial_field(), "42");
    QTest::mouseClick(dialog->save_button(), Qt::LeftButton);
    ASSERT_EQ(link::get_sensor_identification(link, id), 0);
    EXPECT_EQ(id.name, "\xB5mol \xFF") << "the bytes as read, not U+FFFD";
    EXPECT_EQ(id.serial_number, 42);
}

TEST_F(ConfigDialogWiringTest, ThermistorsSave) {
    auto dialog = ThermistorsDialog::create(link, prompter);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->channel_list(0)->currentText(), "5");
    dialog->channel_list(2)->setCurrentIndex(1);
    emit dialog->channel_list(2)->activated(1);
    retype(dialog->coefficient_field(2, 3), "-1.5");
    QTest::mouseClick(dialog->save_button(), Qt::LeftButton);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Settings saved"});
    EXPECT_EQ(dialog->coefficient_field(2, 3)->text(), "-1.50000");
    records::ThermistorConfig t;
    ASSERT_EQ(records::get_thermistor_config(link, 2, t), 0);
    EXPECT_EQ(t.input_channel, 1);
    EXPECT_EQ(t.a0, -1.5f);
}

}  // namespace
}  // namespace kelpira::ui
