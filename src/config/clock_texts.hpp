// The constant tables and texts of the clock and schedule dialogs, and the lines the
// configuration report prints for the two records.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "records/schedule_fields.hpp"

namespace kelpira::config {

inline constexpr std::string_view kClockDialogTitle = "Configure Sensor's Real Time Clock";
inline constexpr std::string_view kScheduleDialogTitle = "Configure Measurement Schedule";

// Where "Set Now" takes the time from.
enum class ClockSource : std::uint8_t { picked, pc };

struct ClockChoice {
    ClockSource source;
    std::string_view text;
    std::string_view tip;
};

// The two radio buttons of the clock dialog, in their order.
inline constexpr std::array<ClockChoice, 2> kClockChoices{{
    {ClockSource::picked, "To This Date/Time",
     "Set sensor's RTC to this time when you hit Set Now"},
    {ClockSource::pc, "To PC's Clock Time",
     "Set sensor's RTC to this PC's time when you hit Set Now"},
}};

// Beside "To PC's Clock Time" when the PC keeps UTC; otherwise local_time_warning says what
// the choice means.
inline constexpr std::string_view kPcClockUtcNote = "(this PC's local time, which is UTC)";
inline constexpr std::string_view kSetNowText = "Set Now";
inline constexpr std::string_view kSetNowTip = "Set the RTC time now";
inline constexpr std::string_view kRecordOffsetText = "Record Offset...";
inline constexpr std::string_view kRecordOffsetTip =
    "Append the sensor clock's offset from this PC's UTC to a clock log, for processing to "
    "correct the results' times";
inline constexpr std::string_view kRecordOffsetTitle = "Record Offset";
inline constexpr std::string_view kEventLabel = "Event:";
// What the clock display shows when the sensor's clock cannot be read.
inline constexpr std::string_view kClockReadError = "ERROR";

struct IntervalChoice {
    std::uint8_t kind;
    std::string_view text;  // the button's text
    std::string_view unit;  // after the button's entry; empty without one
};

// The three radio buttons under "After that, measure:", in their order. Kind 1 (every half
// hour) has no button: it is shown with the minutes button.
inline constexpr std::array<IntervalChoice, 3> kIntervalChoices{{
    {records::kMeasureContinuously, "Continuously", ""},
    {records::kMeasureEveryNHours, "Every", "Hours"},
    {records::kMeasureEveryNMinutes, "Every", "Minutes"},
}};

inline constexpr std::string_view kScheduleExplanation =
    "This Measurement Schedule is used by State Machine states with the Wait For Next "
    "Measurement Time option set. There is only one Measurement Schedule per sensor so "
    "typically only one state at the start of the measurement cycle will use this option.";
inline constexpr std::string_view kStartLabel =
    records::row_of<records::MeasurementSchedule>("start_time").spec.caption;
inline constexpr std::string_view kIntervalLabel =
    records::row_of<records::MeasurementSchedule>("interval_kind").spec.caption;
inline constexpr std::string_view kStopCheckText =
    records::row_of<records::MeasurementSchedule>("stop_enabled").spec.caption;
inline constexpr std::string_view kStopLabel =
    records::row_of<records::MeasurementSchedule>("stop_time").spec.caption;

// What a sensor on the PC's local time means, for a local time `utc_offset_s` seconds ahead
// of UTC (non-zero): "the sensor keeps local time (UTC+1): its results will be an hour off
// wherever they are read as UTC; set it to UTC in Configure > Real Time Clock".
std::string local_time_warning(std::int64_t utc_offset_s);

// The note beside "To PC's Clock Time" for a PC whose local time is `utc_offset_s` ahead of UTC.
std::string pc_clock_note(std::int64_t utc_offset_s);

// "Sensor time now: 29/02/2024 13:05:09".
std::string sensor_time_report_line(const records::RtcTime& t);

// "Start Time: %s" with the start time, or "invalid" when it does not convert.
std::string start_time_report_line(const records::MeasurementSchedule& s);

// "Interval: Measure Continuously", "Interval: Measure every %u hour%s" (kind 4),
// "Interval: Measure every %u minute%s" (kind 5), "s" unless the count is 1; kind 1 as
// "Interval: Measure every 30 minutes"; "Interval: unknown (%u)" for any other kind.
std::string interval_report_line(const records::MeasurementSchedule& s);

// "Stop Time: %s" with the stop time, "invalid", or "disabled" when no stop time is set.
std::string stop_time_report_line(const records::MeasurementSchedule& s);

// The schedule section's three lines: start time, interval, stop time.
std::vector<std::string> schedule_report_lines(const records::MeasurementSchedule& s);

}  // namespace kelpira::config
