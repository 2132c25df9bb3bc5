// Calendar times, their texts and the schedule's time encoding.
#include "config/schedule_time.hpp"

#include <charconv>
#include <cstdio>

#include "common/time_text.hpp"

namespace kelpira::config {

namespace {

bool leap_year(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int days_in_month(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leap_year(year) ? 29 : kDays[month - 1];
}

common::UtcFields fields_of(const CalendarTime& t) {
    return {t.year, t.month, t.day, t.hour, t.minute, t.second};
}

// Digits from `p` up to `end` or the separator, `min`..`max` of them; advances `p` past the
// separator when there is one.
std::optional<int> field(const char*& p, const char* end, char separator, std::size_t min,
                         std::size_t max) {
    const char* stop = p;
    while (stop != end && *stop != separator) {
        ++stop;
    }
    const auto width = static_cast<std::size_t>(stop - p);
    int v = 0;
    const auto [last, ec] = std::from_chars(p, stop, v);
    if (width < min || width > max || ec != std::errc() || last != stop || *p == '-' || *p == '+') {
        return std::nullopt;
    }
    p = stop == end ? end : stop + 1;
    return v;
}

}  // namespace

bool is_real_date(const CalendarTime& t) {
    return t.year >= 1 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= days_in_month(t.year, t.month) && t.hour >= 0 && t.hour <= 23 &&
           t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

std::optional<std::uint32_t> schedule_seconds(const CalendarTime& t) {
    if (!is_real_date(t)) {
        return std::nullopt;
    }
    const std::int64_t seconds = common::utc_seconds(fields_of(t));
    if (seconds < 0 || seconds > kLatestScheduleTime) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(seconds);
}

std::optional<CalendarTime> schedule_calendar(std::uint32_t seconds) {
    if (seconds > kLatestScheduleTime) {
        return std::nullopt;
    }
    const auto f = common::utc_fields(seconds);
    return CalendarTime{f.year, f.month, f.day, f.hour, f.minute, f.second};
}

std::uint32_t schedule_seconds_clamped(const CalendarTime& t) {
    if (const auto s = schedule_seconds(t)) {
        return *s;
    }
    return common::utc_seconds(fields_of(t)) < 0 ? 0 : kLatestScheduleTime;
}

std::string calendar_text(const CalendarTime& t) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %02d:%02d:%02d", t.day, t.month, t.year, t.hour,
                  t.minute, t.second);
    return buf;
}

std::string schedule_time_text(std::uint32_t seconds) {
    const auto t = schedule_calendar(seconds);
    return t ? calendar_text(*t) : "invalid";
}

CalendarTime calendar_of(const records::RtcTime& t) {
    return {t.year, t.month, t.day, t.hour, t.minute, t.second};
}

records::RtcTime rtc_time_of(const CalendarTime& t) {
    records::RtcTime r;
    r.year = static_cast<std::uint16_t>(t.year);
    r.month = static_cast<std::uint8_t>(t.month);
    r.day = static_cast<std::uint8_t>(t.day);
    r.hour = static_cast<std::uint8_t>(t.hour);
    r.minute = static_cast<std::uint8_t>(t.minute);
    r.second = static_cast<std::uint8_t>(t.second);
    return r;
}

std::string rtc_time_text(const records::RtcTime& t) {
    return calendar_text(calendar_of(t));
}

std::optional<CalendarTime> parse_calendar_text(std::string_view text) {
    const char* p = text.data();
    const char* end = p + text.size();
    CalendarTime t;
    const auto day = field(p, end, '/', 1, 2);
    const auto month = day ? field(p, end, '/', 1, 2) : std::nullopt;
    const auto year = month ? field(p, end, ' ', 4, 4) : std::nullopt;
    const auto hour = year ? field(p, end, ':', 1, 2) : std::nullopt;
    const auto minute = hour ? field(p, end, ':', 1, 2) : std::nullopt;
    const auto second = minute ? field(p, end, '\0', 1, 2) : std::nullopt;
    if (!second || p != end) {
        return std::nullopt;
    }
    t = {*year, *month, *day, *hour, *minute, *second};
    return is_real_date(t) ? std::optional(t) : std::nullopt;
}

}  // namespace kelpira::config
