// The emulated sensor's next measurement time from its schedule and clock, and the
// housekeeping commands it accepts.
#include <gtest/gtest.h>

#include "common/bytes.hpp"
#include "link/board_commands.hpp"
#include "link/operation_commands.hpp"
#include "link/platform_commands.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

using namespace kelpira;
using namespace kelpira::virtual_sensor;
using namespace kelpira::virtual_sensor::testing;
using namespace std::chrono_literals;

namespace {

struct Next {
    std::uint32_t now = 0, next = 0;
    std::uint8_t stop = 0;
};

class ScheduleTest : public SensorFixture {
  protected:
    void schedule(std::uint8_t kind, std::uint32_t start_time, std::uint16_t count,
                  std::optional<std::uint32_t> stop = std::nullopt) {
        link::RecordBytes<link::kScheduleSize> r{};
        common::ByteWriter w(r);
        w.u8(3);
        w.u8(kind);
        w.u32(start_time);
        w.u8(stop ? 1 : 0);
        w.u32(stop.value_or(0));
        w.u16(count);
        ASSERT_EQ(link::set_schedule(link, r), 0);
    }
    Next next() {
        Next n;
        EXPECT_EQ(link::get_next_measurement(link, n.now, n.next, n.stop), 0);
        return n;
    }
};

constexpr std::uint32_t kStart = static_cast<std::uint32_t>(kStartSeconds);

}  // namespace

TEST_F(ScheduleTest, ContinuousMeasuresNowOnceStarted) {
    start();
    schedule(0, kStart + 100, 0);
    EXPECT_EQ(next().next, kStart + 100) << "not before the start time";
    fake_clock.advance(250s);
    const auto n = next();
    EXPECT_EQ(n.now, kStart + 250);
    EXPECT_EQ(n.next, kStart + 250);
    EXPECT_EQ(n.stop, 0);
}

TEST_F(ScheduleTest, IntervalsCountFromTheStartTime) {
    start();
    schedule(4, kStart - 3600 * 5 - 60, 2);  // every 2 hours from 5 h 1 min ago
    EXPECT_EQ(next().next, kStart + 3600 - 60);
    schedule(5, kStart - 600, 10);  // every 10 minutes, a measurement due right now
    EXPECT_EQ(next().next, kStart);
    schedule(1, kStart - 1, 30);  // every half hour (older layout)
    EXPECT_EQ(next().next, kStart + 1799);
}

TEST_F(ScheduleTest, StopTimeReachedIsFlagged) {
    start();
    schedule(5, kStart - 3600, 15, kStart + 600);
    EXPECT_EQ(next().stop, 0);
    fake_clock.advance(700s);
    EXPECT_EQ(next().stop, 1);
}

TEST_F(ScheduleTest, FollowsTheSensorClockNotTheHostClock) {
    start();
    link::RecordBytes<link::kRtcTimeSize> rtc{0, 0xEE, 0x07, 1, 1, 0, 0, 0};  // 01/01/2030
    ASSERT_EQ(link::set_rtc_time(link, rtc), 0);
    EXPECT_EQ(next().now, 1893456000u);
}

TEST_F(ScheduleTest, FirmwareKeepsItsLayoutAndRefusesWhatItLacks) {
    VirtualSensorOptions o;
    o.schedule_layout = 2;
    start(o);
    link::RecordBytes<link::kScheduleSize> r{};
    ASSERT_EQ(link::get_schedule(link, r), 0);
    EXPECT_EQ(r, (link::RecordBytes<link::kScheduleSize>{2}));
    r = {9, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0};  // every 3 hours, sent with another layout
    ASSERT_EQ(link::set_schedule(link, r), 0);
    ASSERT_EQ(link::get_schedule(link, r), 0);
    EXPECT_EQ(r, (link::RecordBytes<link::kScheduleSize>{2, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0}));
    r[1] = 5;  // minutes: not on this firmware
    EXPECT_EQ(link::set_schedule(link, r), kResultBadValue);
    r[1] = 4;
    r[11] = 0;  // every 0 hours
    EXPECT_EQ(link::set_schedule(link, r), kResultBadValue);
}

TEST_F(ScheduleTest, LedAndDriveModeAreAccepted) {
    start();
    EXPECT_EQ(link::toggle_led(link), 0);
    EXPECT_EQ(link::mount_as_drive(link), 0);
    EXPECT_EQ(sensor->logged_codes(), (std::vector<std::uint16_t>{296, 482}));
}
