// Calendar dates and times as the clock and schedule dialogs hold them, and the schedule's
// time encoding: the seconds from 01/01/1970 00:00:00 to the date and time as entered, read
// as UTC with no time-zone conversion, as far as a signed 32-bit count reaches.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "records/schedule_fields.hpp"

namespace kelpira::config {

// A date and time as a picker pair shows it.
struct CalendarTime {
    int year = 1970;
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
    int second = 0;  // 0..59

    bool operator==(const CalendarTime&) const = default;
};

using records::kLatestScheduleTime;

// True when every field is in range and the day exists in its month.
bool is_real_date(const CalendarTime& t);

// The schedule seconds of a date and time; nothing for a date that does not exist or lies
// outside 01/01/1970 00:00:00 .. 19/01/2038 03:14:07.
std::optional<std::uint32_t> schedule_seconds(const CalendarTime& t);

// The date and time of schedule seconds; nothing above kLatestScheduleTime.
std::optional<CalendarTime> schedule_calendar(std::uint32_t seconds);

// schedule_seconds limited to the range it can hold: earlier dates give 0, later ones
// kLatestScheduleTime. Pickers limited to that range never need it.
std::uint32_t schedule_seconds_clamped(const CalendarTime& t);

// "%02d/%02d/%04d %02d:%02d:%02d": day, month, year, hour, minute, second.
std::string calendar_text(const CalendarTime& t);

// calendar_text of schedule seconds, or "invalid" when they do not convert.
std::string schedule_time_text(std::uint32_t seconds);

// The clock record's fields as a date and time, and back (reserved0 0).
CalendarTime calendar_of(const records::RtcTime& t);
records::RtcTime rtc_time_of(const CalendarTime& t);

// The sensor's clock as the clock dialog's display shows it, e.g. "29/02/2024 13:05:09".
std::string rtc_time_text(const records::RtcTime& t);

// "DD/MM/YYYY HH:MM:SS" (one or two digits for every field but the four-digit year) naming
// a real date; nothing otherwise.
std::optional<CalendarTime> parse_calendar_text(std::string_view text);

}  // namespace kelpira::config
