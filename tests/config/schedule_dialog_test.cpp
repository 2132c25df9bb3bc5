// "Configure Measurement Schedule" against the emulated sensor: the control rules, the entry
// check, the bytes written and the messages.
#include <gtest/gtest.h>

#include "config/clock_transfer.hpp"
#include "config/measurement_schedule_controller.hpp"
#include "link/command_catalogue.hpp"
#include "support/recording_prompter.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

namespace kelpira::config {
namespace {

using namespace std::chrono_literals;
using kelpira::testing::RecordingPrompter;
using virtual_sensor::FaultKind;
using Bytes = std::vector<std::uint8_t>;
using Codes = std::vector<std::uint16_t>;

constexpr CalendarTime kMarchFirst{2024, 3, 1, 6, 0, 0};  // 1709272800, 0x65E16EE0

class ScheduleDialogTest : public virtual_sensor::testing::SensorFixture {
  protected:
    void open_on_layout(std::uint8_t layout) {
        virtual_sensor::VirtualSensorOptions o;
        o.schedule_layout = layout;
        start(o, 300ms);
        ASSERT_TRUE(dialog.open());
        sensor->clear_log();
    }
    Bytes written() const {
        for (const auto& c : sensor->log()) {
            if (c.code == link::code_value(link::CommandCode::SET_SCHEDULE)) {
                return c.payload;
            }
        }
        return {};
    }
    void expect_message(const std::string& caption, const std::string& text) {
        ASSERT_EQ(prompter.prompts.size(), 1u);
        EXPECT_EQ(prompter.prompts[0].caption, caption);
        EXPECT_EQ(prompter.prompts[0].text, text);
    }

    RecordingPrompter prompter;
    MeasurementScheduleController dialog{link, prompter};
};

TEST_F(ScheduleDialogTest, LayoutTwoMinutesAreEveryHalfHour) {
    open_on_layout(2);
    dialog.controls().start = kMarchFirst;
    dialog.click_interval(records::kMeasureEveryNMinutes);
    EXPECT_EQ(dialog.controls().interval_button, records::kMeasureEveryNMinutes);
    EXPECT_EQ(dialog.controls().minutes, "30");
    EXPECT_EQ(dialog.controls().hours, "");
    EXPECT_EQ(dialog.enabling(), (ScheduleEnabling{false, false, false}))
        << "the minutes entry stays disabled";
    EXPECT_TRUE(dialog.save_enabled());
    dialog.save();
    EXPECT_EQ(written(), (Bytes{2, 1, 0xE0, 0x6E, 0xE1, 0x65, 0, 0, 0, 0, 0, 30, 0}));
    EXPECT_EQ(sensor->logged_codes(), (Codes{443, 442, 445}));
    EXPECT_EQ(dialog.controls().minutes, "30");
}

TEST_F(ScheduleDialogTest, LayoutThreeMinutesFromOne) {
    open_on_layout(3);
    dialog.controls().start = kMarchFirst;
    dialog.click_interval(records::kMeasureEveryNMinutes);
    EXPECT_EQ(dialog.controls().minutes, "1");
    EXPECT_EQ(dialog.enabling(), (ScheduleEnabling{false, false, true}));
    dialog.controls().minutes = "90";
    dialog.click_stop(true);
    EXPECT_EQ(dialog.controls().minutes, "90") << "the entry survives the rebuild";
    dialog.save();
    EXPECT_EQ(written(), (Bytes{3, 5, 0xE0, 0x6E, 0xE1, 0x65, 1, 0xE0, 0x6E, 0xE1, 0x65, 90, 0}));
}

TEST_F(ScheduleDialogTest, TickingStopCopiesTheStartTime) {
    open_on_layout(3);
    dialog.controls().start = kMarchFirst;
    dialog.controls().stop = {2030, 1, 1, 0, 0, 0};
    dialog.click_stop(true);
    EXPECT_EQ(dialog.controls().stop, kMarchFirst);
    EXPECT_TRUE(dialog.enabling().stop_pickers);
    dialog.click_stop(false);
    EXPECT_EQ(dialog.controls().stop, CalendarTime{}) << "01/01/1970 00:00:00";
    EXPECT_FALSE(dialog.enabling().stop_pickers);
    EXPECT_EQ(dialog.controls().start, kMarchFirst);
}

TEST_F(ScheduleDialogTest, HoursOutsideOneTo65535AreRedAndBlockSave) {
    open_on_layout(3);
    dialog.click_interval(records::kMeasureEveryNHours);
    EXPECT_EQ(dialog.controls().hours, "1");
    for (const char* bad : {"0", "", "-1", "65536", "1x", "99999999999999999999"}) {
        dialog.controls().hours = bad;
        EXPECT_TRUE(dialog.hours_red()) << bad;
        EXPECT_FALSE(dialog.save_enabled()) << bad;
    }
    for (const char* good : {"1", " 7 ", "65535"}) {
        dialog.controls().hours = good;
        EXPECT_FALSE(dialog.hours_red()) << good;
        EXPECT_TRUE(dialog.save_enabled()) << good;
    }
    EXPECT_FALSE(dialog.minutes_red()) << "a disabled, cleared entry is not checked";
}

TEST(ScheduleControls, KindsWithoutAButtonReadAsContinuousButSaveUntouched) {
    records::MeasurementSchedule s;
    s.layout = 3;
    s.interval_kind = 2;
    s.interval_count = 9;
    s.start_time = 1709272800;
    s.stop_time = 1709272800;  // ignored without stop_enabled
    const ScheduleControls c = show_schedule(s);
    EXPECT_EQ(c.interval_button, std::nullopt);
    EXPECT_EQ(c.hours + c.minutes, "");
    EXPECT_EQ(c.stop, CalendarTime{});
    const records::MeasurementSchedule back = read_schedule_controls(c, 3);
    EXPECT_EQ(back.interval_kind, records::kMeasureContinuously);
    EXPECT_EQ(back.interval_count, 0);
    EXPECT_EQ(back.start_time, 1709272800u);
    EXPECT_EQ(back.stop_time, 0u);

    // What the user left as shown keeps the sensor's values; what was edited takes the controls.
    EXPECT_EQ(schedule_to_save(s, c), s);
    ScheduleControls edited = c;
    edited.interval_button = records::kMeasureEveryNHours;
    edited.hours = "3";
    const records::MeasurementSchedule saved = schedule_to_save(s, edited);
    EXPECT_EQ(saved.interval_kind, records::kMeasureEveryNHours);
    EXPECT_EQ(saved.interval_count, 3);
    EXPECT_EQ(saved.start_time, 1709272800u);
    EXPECT_EQ(saved.stop_enabled, 0);
    EXPECT_EQ(saved.stop_time, 1709272800u);
}

TEST(ScheduleMessages, SavedWithTheNextMeasurement) {
    records::NextMeasurement n{1796724000, 1796725800, 0};
    EXPECT_EQ(schedule_saved_message(n),
              "New schedule saved.\n\nSensor time now: 08/12/2026 10:00:00.\n"
              "Next scheduled measurement: 08/12/2026 10:30:00.");
    n.stop_reached = 1;
    EXPECT_EQ(schedule_saved_message(n),
              "New schedule saved.\n\nNext scheduled measurement: none (stop time reached).");
    EXPECT_EQ(schedule_saved_message(std::nullopt),
              "New schedule saved.\n\nNow check sensor's clock.");
}

TEST_F(ScheduleDialogTest, SaveTellsTheSensorsNextMeasurement) {
    open_on_layout(3);
    dialog.controls().start = {2026, 12, 8, 9, 15, 0};
    dialog.click_interval(records::kMeasureEveryNHours);
    dialog.save();
    expect_message("Save",
                   "New schedule saved.\n\nSensor time now: 08/12/2026 10:00:00.\n"
                   "Next scheduled measurement: 08/12/2026 10:15:00.");
}

TEST_F(ScheduleDialogTest, SaveFailures) {
    open_on_layout(3);
    sensor->inject(445, {FaultKind::no_answer}, 1);
    dialog.save();
    expect_message("Save", "New schedule saved.\n\nNow check sensor's clock.");
    prompter.prompts.clear();
    sensor->clear_log();
    sensor->inject(442, {FaultKind::no_answer}, 1);
    dialog.controls().hours = "5";
    dialog.save();
    expect_message("Save", "Unable to save schedule to sensor");
    EXPECT_EQ(sensor->logged_codes(), (Codes{443, 442})) << "nothing more";
}

TEST_F(ScheduleDialogTest, OpeningFailures) {
    virtual_sensor::VirtualSensorOptions o;
    o.schedule_layout = 1;
    start(o, 300ms);
    EXPECT_FALSE(dialog.open());
    expect_message("Load Schedule",
                   "Unable to get schedule because your sensor's firmware is too old for this "
                   "version of the GUI.");
    prompter.prompts.clear();
    sensor->inject(442, {FaultKind::no_answer}, 1);
    EXPECT_FALSE(dialog.open());
    expect_message("Load Schedule", "Unable to retrieve schedule from sensor");
}

}  // namespace
}  // namespace kelpira::config
