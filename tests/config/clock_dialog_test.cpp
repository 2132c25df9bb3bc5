// "Configure Sensor's Real Time Clock" against the emulated sensor: the bytes "Set Now" sends
// from the pickers and from the PC's local clock, and the live display with its "ERROR".
#include <gtest/gtest.h>

#include <mutex>
#include <semaphore>

#include "config/real_time_clock_controller.hpp"
#include "link/command_catalogue.hpp"
#include "support/recording_prompter.hpp"
#include "support/temp_folder.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

namespace kelpira::config {
namespace {

using namespace std::chrono_literals;
using kelpira::testing::RecordingPrompter;
using virtual_sensor::FaultKind;
using Bytes = std::vector<std::uint8_t>;

// What the display shows, handed over from its thread one text at a time. The sink shares
// the texts, so a thread let go by a closing dialog may still hand one over.
class DisplayTexts {
  public:
    ClockDisplay::Sink sink() {
        return [shared = shared_](const std::string& text) {
            {
                std::lock_guard lock(shared->mutex);
                shared->texts.push_back(text);
            }
            shared->shown.release();
        };
    }
    // The next text the display shows.
    std::string next() {
        shared_->shown.acquire();
        std::lock_guard lock(shared_->mutex);
        return shared_->texts.at(taken_++);
    }

  private:
    struct Shared {
        std::mutex mutex;
        std::vector<std::string> texts;
        std::counting_semaphore<> shown{0};
    };
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
    std::size_t taken_ = 0;
};

constexpr auto kNoPolling = 24h;  // the display reads only when opened or woken
constexpr CalendarTime kPcLocal{2025, 6, 30, 23, 59, 58};

class ClockDialogTest : public virtual_sensor::testing::SensorFixture {
  protected:
    Bytes sent_clock() const {
        for (const auto& c : sensor->log()) {
            if (c.code == link::code_value(link::CommandCode::SET_RTC_TIME)) {
                return c.payload;
            }
        }
        return {};
    }

    RecordingPrompter prompter;
    DisplayTexts display;
};

TEST_F(ClockDialogTest, SetNowFromThePickersShowsTheNewTimeAtOnce) {
    start();
    RealTimeClockController dialog(
        link, prompter, display.sink(), [] { return kPcLocal; }, kNoPolling);
    EXPECT_EQ(display.next(), "08/12/2026 10:00:00");
    EXPECT_EQ(dialog.controls().source, ClockSource::picked);
    EXPECT_EQ(dialog.controls().picked, kPcLocal) << "the pickers start at the PC's time";
    EXPECT_TRUE(pickers_enabled(dialog.controls()));
    dialog.controls().picked = {2024, 2, 29, 13, 5, 9};
    ASSERT_TRUE(dialog.set_now());
    EXPECT_EQ(sent_clock(), (Bytes{0, 0xE8, 0x07, 2, 29, 13, 5, 9}));
    EXPECT_EQ(display.next(), "29/02/2024 13:05:09");
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(ClockDialogTest, SetNowFromThePcClock) {
    start();
    RealTimeClockController dialog(
        link, prompter, display.sink(), [] { return kPcLocal; }, kNoPolling);
    dialog.controls().source = ClockSource::pc;
    EXPECT_FALSE(pickers_enabled(dialog.controls()));
    ASSERT_TRUE(dialog.set_now());
    EXPECT_EQ(sent_clock(), (Bytes{0, 0xE9, 0x07, 6, 30, 23, 59, 58}));
}

TEST_F(ClockDialogTest, SetNowRefused) {
    start({}, 200ms);
    RealTimeClockController dialog(
        link, prompter, display.sink(), [] { return kPcLocal; }, kNoPolling);
    EXPECT_EQ(display.next(), "08/12/2026 10:00:00");
    sensor->inject(291, {FaultKind::no_answer}, 1);
    dialog.controls().picked = kPcLocal;
    EXPECT_FALSE(dialog.set_now());
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].caption, "Save");
    EXPECT_EQ(prompter.prompts[0].text, "Failed to set RTC time");
}

TEST_F(ClockDialogTest, DisplayShowsErrorAndGoesOnUntilStopped) {
    start({}, 200ms);
    ClockDisplay shown(link, display.sink(), kNoPolling);
    EXPECT_EQ(display.next(), "08/12/2026 10:00:00");
    sensor->inject(290, {FaultKind::no_answer}, 1);
    shown.refresh();
    EXPECT_EQ(display.next(), "ERROR");
    fake_clock.advance(61s);
    shown.refresh();
    EXPECT_EQ(display.next(), "08/12/2026 10:01:01");
    EXPECT_TRUE(shown.stop(1min));
}

TEST_F(ClockDialogTest, ClosingLetsAStuckReadGo) {
    start({}, 500ms);
    sensor->inject(290, {FaultKind::no_answer});
    {
        RealTimeClockController dialog(
            link, prompter, display.sink(), [] { return kPcLocal; }, kNoPolling);
        dialog.close();  // the first read is still waiting for its answer
    }
    EXPECT_EQ(display.next(), "ERROR") << "the let-go thread ends by itself";
}

TEST_F(ClockDialogTest, RecordOffsetAppendsTheMomentTheSecondChanged) {
    start();
    sensor->edit_state([](auto& s) { s.rtc_offset = 42s; });
    kelpira::testing::TempFolder files;
    const std::string log = files.path("clock.csv");
    // Each look at UTC moves the sensor's clock on 7 ms: the read sent at 0.987 s still sees
    // second 0, the one sent at 1.001 s and answered at 1.008 s sees second 1, so the second
    // changed at 0.9975 s, +-0.0105 s.
    const UtcClock utc = [this] {
        fake_clock.advance(7ms);
        return fake_clock.clock()();
    };
    RealTimeClockController dialog(
        link, prompter, display.sink(), [] { return kPcLocal; }, kNoPolling);
    std::string remembered;
    prompter.files = {log, log};
    dialog.controls().event = "deployed";
    ASSERT_TRUE(dialog.record_offset(remembered, utc));
    dialog.controls().event = "recovered";
    ASSERT_TRUE(dialog.record_offset(remembered, utc));
    EXPECT_EQ(remembered, log);
    EXPECT_EQ(prompter.file_requests.at(1).initial_name, log);
    EXPECT_EQ(kelpira::testing::TempFolder::read(log),
              "utc_time,sensor_name,serial_number,offset_s,event\n"
              "2026-12-08T10:00:00.997Z,Virtual Sensor,1001,42.003,deployed\n"
              "2026-12-08T10:00:02.005Z,Virtual Sensor,1001,41.995,recovered\n");
    EXPECT_EQ(prompter.prompts.at(1).text,
              "Recorded in " + log +
                  " (offset read to +-0.012 s):\n"
                  "2026-12-08T10:00:00.997Z,Virtual Sensor,1001,42.003,deployed");
}

TEST(ClockTexts, LocalTimeWarningNamesTheZoneAndHowFarOff) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {3600, "(UTC+1): its results will be an hour off"},
        {-18000, "(UTC-5): its results will be 5 hours off"},
        {19800, "(UTC+5:30): its results will be 5 hours 30 minutes off"},
        {-1800, "(UTC-0:30): its results will be 30 minutes off"},
        {20700, "(UTC+5:45): its results will be 5 hours 45 minutes off"},
    };
    for (const auto& [offset, part] : cases) {
        EXPECT_NE(local_time_warning(offset).find(part), std::string::npos) << offset;
    }
    EXPECT_EQ(pc_clock_note(3600),
              "the sensor keeps local time (UTC+1): its results will be an hour off wherever "
              "they are read as UTC; set it to UTC in Configure > Real Time Clock");
    EXPECT_EQ(pc_clock_note(0), "(this PC's local time, which is UTC)");
}

}  // namespace
}  // namespace kelpira::config
