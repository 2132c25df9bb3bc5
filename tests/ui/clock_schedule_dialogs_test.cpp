// The clock and schedule dialogs on screen (offscreen), wiring only: the display reaching its
// label through the UI thread, the choices enabling the pickers, Set Now, the interval buttons,
// a red entry disabling Save, and Save.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

#include "config/clock_transfer.hpp"
#include "link/command_catalogue.hpp"
#include "support/qt_application.hpp"
#include "support/recording_prompter.hpp"
#include "ui/config/measurement_schedule_dialog.hpp"
#include "ui/config/real_time_clock_dialog.hpp"
#include "virtual_sensor/in_process_device.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

namespace kelpira::ui {
namespace {

using namespace std::chrono_literals;

class ClockScheduleWiringTest : public ::testing::Test {
  protected:
    ClockScheduleWiringTest() {
        testing::test_application();
        virtual_sensor::attach_in_process(backend, "/virtual/sensor", sensor);
        EXPECT_EQ(link.Open("/virtual/sensor", 3000ms), 0);
    }
    ~ClockScheduleWiringTest() override { link.Close(); }

    // Runs the event loop until `done` holds (the guard is never reached unless something is
    // broken).
    static bool wait_until(const std::function<bool()>& done) {
        QTimer guard;
        guard.setSingleShot(true);
        guard.start(30000);
        while (!done() && guard.isActive()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        return done();
    }

    static void retype(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    virtual_sensor::VirtualSensor sensor{
        {}, [] { return virtual_sensor::TimePoint(std::chrono::seconds(1796724000)); }};
    link::InProcessHidBackend backend;
    link::SensorLink link{backend};
    testing::RecordingPrompter prompter;
};

TEST_F(ClockScheduleWiringTest, ClockDisplayChoicesAndSetNow) {
    std::string clock_log = "/old/clock.csv";
    RealTimeClockDialog dialog(
        link, prompter, clock_log, nullptr,
        [] { return config::CalendarTime{2025, 6, 30, 8, 0, 0}; }, 24h);
    EXPECT_TRUE(wait_until([&] { return dialog.display()->text() == "08/12/2026 10:00:00"; }));
    EXPECT_TRUE(dialog.choice(config::ClockSource::picked)->isChecked());
    EXPECT_EQ(dialog.pc_note()->text().toStdString(),
              config::pc_clock_note(config::pc_utc_offset_seconds()));
    EXPECT_EQ(dialog.date_picker()->date(), QDate(2025, 6, 30));
    QTest::mouseClick(dialog.choice(config::ClockSource::pc), Qt::LeftButton);
    EXPECT_FALSE(dialog.date_picker()->isEnabled());
    EXPECT_FALSE(dialog.time_picker()->isEnabled());
    QTest::mouseClick(dialog.choice(config::ClockSource::picked), Qt::LeftButton);
    EXPECT_TRUE(dialog.time_picker()->isEnabled());
    dialog.date_picker()->setDate(QDate(2024, 2, 29));
    dialog.time_picker()->setTime(QTime(13, 5, 9));
    QTest::mouseClick(dialog.set_now_button(), Qt::LeftButton);
    EXPECT_TRUE(wait_until([&] { return dialog.display()->text() == "29/02/2024 13:05:09"; }));
    EXPECT_EQ(sensor.log().back().code, link::code_value(link::CommandCode::GET_RTC_TIME));
    EXPECT_TRUE(prompter.prompts.empty());
    // "Record Offset..." offers the session's clock log; cancelled, nothing more happens.
    QTest::mouseClick(dialog.record_offset_button(), Qt::LeftButton);
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].caption, "Record Offset");
    EXPECT_EQ(prompter.file_requests[0].initial_name, "/old/clock.csv");
}

TEST_F(ClockScheduleWiringTest, ScheduleButtonsRedEntryAndSave) {
    auto dialog = MeasurementScheduleDialog::create(link, prompter);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->interval_button(0)->isChecked());
    EXPECT_FALSE(dialog->hours_field()->isEnabled());
    QTest::mouseClick(dialog->interval_button(1), Qt::LeftButton);
    EXPECT_EQ(dialog->hours_field()->text(), "1");
    EXPECT_TRUE(dialog->hours_field()->isEnabled());
    retype(dialog->hours_field(), "0");
    EXPECT_FALSE(dialog->save_button()->isEnabled());
    EXPECT_EQ(dialog->hours_field()->palette().color(QPalette::Text), QColor(255, 0, 0));
    retype(dialog->hours_field(), "2");
    EXPECT_TRUE(dialog->save_button()->isEnabled());
    dialog->start_date()->setDate(QDate(2026, 12, 8));
    dialog->start_time()->setTime(QTime(9, 30, 0));
    QTest::mouseClick(dialog->stop_check(), Qt::LeftButton);
    EXPECT_EQ(dialog->stop_time()->time(), QTime(9, 30, 0)) << "the start time copied";
    EXPECT_TRUE(dialog->stop_date()->isEnabled());
    dialog->stop_date()->setDate(QDate(2026, 12, 9));
    QTest::mouseClick(dialog->save_button(), Qt::LeftButton);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{
                                    "New schedule saved.\n\nSensor time now: 08/12/2026 10:00:00.\n"
                                    "Next scheduled measurement: 08/12/2026 11:30:00."});
    records::MeasurementSchedule s;
    ASSERT_EQ(config::read_schedule(link, s), 0);
    EXPECT_EQ(s.interval_kind, records::kMeasureEveryNHours);
    EXPECT_EQ(s.interval_count, 2);
    EXPECT_EQ(config::schedule_time_text(s.stop_time), "09/12/2026 09:30:00");
}

}  // namespace
}  // namespace kelpira::ui
