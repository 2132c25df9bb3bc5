// Sensor times as UTC texts, without the C library's time-zone state.
#include "common/time_text.hpp"

#include <cstdio>

namespace kelpira::common {

namespace {

// Days since 1970-01-01 of a civil date (Howard Hinnant's algorithm).
std::int64_t days_from_civil(std::int64_t y, std::int64_t m, std::int64_t d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

}  // namespace

UtcFields utc_fields(std::int64_t seconds) {
    std::int64_t days = seconds / 86400;
    std::int64_t rem = seconds % 86400;
    if (rem < 0) {
        rem += 86400;
        --days;
    }
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = yoe + era * 400 + (m <= 2);
    return UtcFields{static_cast<int>(y),
                     static_cast<int>(m),
                     static_cast<int>(d),
                     static_cast<int>(rem / 3600),
                     static_cast<int>(rem / 60 % 60),
                     static_cast<int>(rem % 60)};
}

std::int64_t utc_seconds(const UtcFields& f) {
    // Normalise the month first so that month 13 or 0 rolls into the neighbouring year.
    std::int64_t y = f.year;
    std::int64_t m = f.month - 1;
    y += m >= 0 ? m / 12 : (m - 11) / 12;
    m = ((m % 12) + 12) % 12;
    return days_from_civil(y, m + 1, 1) * 86400 + static_cast<std::int64_t>(f.day - 1) * 86400 +
           static_cast<std::int64_t>(f.hour) * 3600 + static_cast<std::int64_t>(f.minute) * 60 +
           f.second;
}

std::string utc_time_text(std::uint32_t seconds) {
    char buf[32];
    if (seconds > 2147483647u) {
        std::snprintf(buf, sizeof buf, "%u", seconds);
        return buf;
    }
    const UtcFields f = utc_fields(seconds);
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %02d:%02d:%02d", f.day, f.month, f.year, f.hour,
                  f.minute, f.second);
    return buf;
}

}  // namespace kelpira::common
