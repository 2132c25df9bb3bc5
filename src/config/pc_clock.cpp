// The PC's clock through the C library's thread-safe conversions.
#include "config/pc_clock.hpp"

#include <ctime>

namespace kelpira::config {

namespace {

CalendarTime calendar_of(const std::tm& tm) {
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
            // a leap second is shown as the last ordinary one
            tm.tm_sec > 59 ? 59 : tm.tm_sec};
}

}  // namespace

CalendarTime pc_local_time() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return calendar_of(tm);
}

CalendarTime pc_utc_time() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    return calendar_of(tm);
}

std::int64_t pc_utc_offset_seconds() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return tm.tm_gmtoff;
}

}  // namespace kelpira::config
