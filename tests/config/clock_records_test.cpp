// The clock, schedule and next-measurement records, the schedule's time encoding and the
// report's lines for them.
#include <gtest/gtest.h>

#include "config/clock_texts.hpp"
#include "config/schedule_time.hpp"
#include "support/counting_bytes.hpp"

namespace kelpira::config {
namespace {

using Bytes = std::vector<std::uint8_t>;

template <std::size_t N>
Bytes bytes(const std::array<std::uint8_t, N>& a) {
    return Bytes(a.begin(), a.end());
}

TEST(ClockRecords, FieldsSitAtTheirOffsets) {
    const auto rtc = testing::counting_bytes<records::RtcTime::size>();
    const records::RtcTime t = records::decode_rtc_time(rtc);
    EXPECT_EQ(t.year, 0x0302);
    EXPECT_EQ(t.second, 8);
    EXPECT_EQ(records::encode(t), rtc);

    const auto sched = testing::counting_bytes<records::MeasurementSchedule::size>();
    const records::MeasurementSchedule s = records::decode_measurement_schedule(sched);
    EXPECT_EQ(s.interval_kind, 2);
    EXPECT_EQ(s.start_time, 0x06050403u);
    EXPECT_EQ(s.stop_enabled, 7);
    EXPECT_EQ(s.stop_time, 0x0B0A0908u);
    EXPECT_EQ(s.interval_count, 0x0D0C);
    EXPECT_EQ(records::encode(s), sched);

    const auto next = testing::counting_bytes<records::NextMeasurement::size>();
    const records::NextMeasurement n = records::decode_next_measurement(next);
    EXPECT_EQ(n.next_time, 0x08070605u);
    EXPECT_EQ(n.stop_reached, 9);
    EXPECT_EQ(records::encode(n), next);
}

TEST(ClockRecords, LeapDayClockAsBytesAndText) {
    const records::RtcTime t = rtc_time_of({2024, 2, 29, 13, 5, 9});
    EXPECT_EQ(bytes(records::encode(t)), (Bytes{0, 0xE8, 0x07, 2, 29, 13, 5, 9}));
    EXPECT_EQ(rtc_time_text(t), "29/02/2024 13:05:09");
    EXPECT_EQ(sensor_time_report_line(t), "Sensor time now: 29/02/2024 13:05:09");
}

TEST(ScheduleTime, CalendarTimeAsEnteredIsReadAsUtc) {
    EXPECT_EQ(schedule_seconds({2024, 3, 1, 6, 0, 0}), 1709272800u);
    EXPECT_EQ(schedule_calendar(1709272800u), (CalendarTime{2024, 3, 1, 6, 0, 0}));
    EXPECT_EQ(schedule_seconds({1970, 1, 1, 0, 0, 0}), 0u);
    EXPECT_EQ(schedule_time_text(0), "01/01/1970 00:00:00");
}

TEST(ScheduleTime, OnlyWhatThirtyTwoBitsHold) {
    EXPECT_EQ(schedule_seconds({2038, 1, 19, 3, 14, 7}), kLatestScheduleTime);
    EXPECT_EQ(schedule_seconds({2038, 1, 19, 3, 14, 8}), std::nullopt);
    EXPECT_EQ(schedule_seconds({1969, 12, 31, 23, 59, 59}), std::nullopt);
    EXPECT_EQ(schedule_seconds({2023, 2, 29, 0, 0, 0}), std::nullopt) << "no such day";
    EXPECT_EQ(schedule_seconds({2024, 1, 1, 24, 0, 0}), std::nullopt);
    EXPECT_EQ(schedule_time_text(kLatestScheduleTime), "19/01/2038 03:14:07");
    EXPECT_EQ(schedule_calendar(kLatestScheduleTime + 1u), std::nullopt);
    EXPECT_EQ(schedule_time_text(4294967295u), "invalid");
    EXPECT_EQ(schedule_seconds_clamped({2100, 1, 1, 0, 0, 0}), kLatestScheduleTime);
    EXPECT_EQ(schedule_seconds_clamped({1900, 1, 1, 0, 0, 0}), 0u);
}

TEST(ScheduleTime, TypedDateAndTime) {
    EXPECT_EQ(parse_calendar_text("29/02/2024 13:05:09"), (CalendarTime{2024, 2, 29, 13, 5, 9}));
    EXPECT_EQ(parse_calendar_text("1/3/2024 6:00:00"), (CalendarTime{2024, 3, 1, 6, 0, 0}));
    for (const char* bad : {"29/02/2023 13:05:09", "29/02/2024 13:05", "29/02/2024 13:05:09 ",
                            "29/02/24 13:05:09", "29-02-2024 13:05:09", "29/02/2024 24:00:00",
                            "-1/02/2024 13:05:09", "29/02/2024  13:05:09", ""}) {
        EXPECT_EQ(parse_calendar_text(bad), std::nullopt) << bad;
    }
}

TEST(ScheduleReport, IntervalLines) {
    records::MeasurementSchedule s;
    EXPECT_EQ(interval_report_line(s), "Interval: Measure Continuously");
    s.interval_kind = records::kMeasureEveryNHours;
    s.interval_count = 1;
    EXPECT_EQ(interval_report_line(s), "Interval: Measure every 1 hour");
    s.interval_count = 3;
    EXPECT_EQ(interval_report_line(s), "Interval: Measure every 3 hours");
    s.interval_kind = records::kMeasureEveryNMinutes;
    s.interval_count = 2;
    EXPECT_EQ(interval_report_line(s), "Interval: Measure every 2 minutes");
    s.interval_count = 1;
    EXPECT_EQ(interval_report_line(s), "Interval: Measure every 1 minute");
    s.interval_kind = records::kMeasureEveryHalfHour;
    s.interval_count = 0;
    EXPECT_EQ(interval_report_line(s), "Interval: Measure every 30 minutes");
    s.interval_kind = 7;
    EXPECT_EQ(interval_report_line(s), "Interval: unknown (7)");
}

TEST(ScheduleReport, StartAndStopLines) {
    records::MeasurementSchedule s;
    s.interval_kind = records::kMeasureEveryNHours;
    s.interval_count = 1;
    s.start_time = 1709272800;
    s.stop_time = 1709272800;  // not set while stop_enabled is 0
    EXPECT_EQ(schedule_report_lines(s),
              (std::vector<std::string>{"Start Time: 01/03/2024 06:00:00",
                                        "Interval: Measure every 1 hour", "Stop Time: disabled"}));
    s.stop_enabled = 1;
    EXPECT_EQ(stop_time_report_line(s), "Stop Time: 01/03/2024 06:00:00");
    s.stop_time = 3000000000u;
    s.start_time = 3000000000u;
    EXPECT_EQ(stop_time_report_line(s), "Stop Time: invalid");
    EXPECT_EQ(start_time_report_line(s), "Start Time: invalid");
}

}  // namespace
}  // namespace kelpira::config
