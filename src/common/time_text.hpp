// Sensor times (32-bit seconds since 1970-01-01 UTC) as the texts the program shows.
#pragma once

#include <cstdint>
#include <string>

namespace kelpira::common {

// "dd/mm/yyyy hh:mm:ss" in UTC; a value above 2147483647 cannot be converted to a date and
// is shown as the plain number.
std::string utc_time_text(std::uint32_t seconds);

struct UtcFields {
    int year, month, day, hour, minute, second;
};

// Civil UTC date and time of a count of seconds since 1970 (proleptic Gregorian calendar).
UtcFields utc_fields(std::int64_t seconds);

// Seconds since 1970 of a civil UTC date and time; fields out of range roll over as timegm does.
std::int64_t utc_seconds(const UtcFields& f);

}  // namespace kelpira::common
