// The sensor's real-time clock, its measurement schedule and its answer to when it measures
// next: the three records the clock and schedule dialogs exchange with the sensor.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace kelpira::records {

// The sensor's clock as calendar fields; the sensor keeps no time zone.
struct RtcTime {
    static constexpr std::size_t size = 8;

    std::uint8_t reserved0 = 0;  // sent as 0
    std::uint16_t year = 1970;   // four digits
    std::uint8_t month = 1;      // 1..12
    std::uint8_t day = 1;        // 1..31
    std::uint8_t hour = 0;       // 0..23
    std::uint8_t minute = 0;     // 0..59
    std::uint8_t second = 0;     // 0..59

    bool operator==(const RtcTime&) const = default;
};

// `layout` values: what the sensor's firmware makes of the schedule.
inline constexpr std::uint8_t kScheduleLayoutTooOld = 1;     // 1 or less: no schedule dialog
inline constexpr std::uint8_t kScheduleLayoutHalfHours = 2;  // no minute intervals
inline constexpr std::uint8_t kScheduleLayoutMinutes = 3;    // 3 or more: full support

// `interval_kind` values.
inline constexpr std::uint8_t kMeasureContinuously = 0;
inline constexpr std::uint8_t kMeasureEveryHalfHour = 1;  // layout 2 in place of minutes
inline constexpr std::uint8_t kMeasureEveryNHours = 4;
inline constexpr std::uint8_t kMeasureEveryNMinutes = 5;

inline constexpr std::uint16_t kHalfHourMinutes = 30;

// Times are in the schedule's encoding (schedule_time.hpp).
struct MeasurementSchedule {
    static constexpr std::size_t size = 13;

    std::uint8_t layout = 0;  // the sensor's, written back as read
    std::uint8_t interval_kind = kMeasureContinuously;
    std::uint32_t start_time = 0;
    std::uint8_t stop_enabled = 0;     // 1 or 0
    std::uint32_t stop_time = 0;       // 0 while stop_enabled is 0
    std::uint16_t interval_count = 0;  // hours or minutes; 30 with kind 1; 0 with kind 0

    bool operator==(const MeasurementSchedule&) const = default;
};

// The answer to GET_NEXT_MEASUREMENT; times in the schedule's encoding.
struct NextMeasurement {
    static constexpr std::size_t size = 9;

    std::uint32_t sensor_time = 0;  // the sensor's clock now
    std::uint32_t next_time = 0;    // when it measures next
    std::uint8_t stop_reached = 0;  // 1: no further measurement, the stop time has passed

    bool operator==(const NextMeasurement&) const = default;
};

RtcTime decode_rtc_time(std::span<const std::uint8_t> data);
std::array<std::uint8_t, RtcTime::size> encode(const RtcTime& t);

MeasurementSchedule decode_measurement_schedule(std::span<const std::uint8_t> data);
std::array<std::uint8_t, MeasurementSchedule::size> encode(const MeasurementSchedule& s);

NextMeasurement decode_next_measurement(std::span<const std::uint8_t> data);
std::array<std::uint8_t, NextMeasurement::size> encode(const NextMeasurement& n);

}  // namespace kelpira::records
