// The PC's clock as calendar fields, local or UTC; dialogs take it as a function so that
// tests can stand a fixed time in.
#pragma once

#include <cstdint>
#include <functional>

#include "config/schedule_time.hpp"

namespace kelpira::config {

using PcClock = std::function<CalendarTime()>;

// The PC's wall-clock time in its own time zone.
CalendarTime pc_local_time();

// The PC's time in UTC.
CalendarTime pc_utc_time();

// How far the PC's local time is ahead of UTC now, in seconds (negative west of Greenwich).
std::int64_t pc_utc_offset_seconds();

}  // namespace kelpira::config
