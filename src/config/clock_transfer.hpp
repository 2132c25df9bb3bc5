// The clock, schedule and next-measurement records over the link, as records rather than
// bytes. Each returns the command's result (14 when the transaction failed); the record is
// filled only on success.
#pragma once

#include "link/sensor_link.hpp"
#include "records/clock_records.hpp"

namespace kelpira::config {

link::CommandResult read_rtc_time(link::SensorLink& link, records::RtcTime& time);
link::CommandResult write_rtc_time(link::SensorLink& link, const records::RtcTime& time);

link::CommandResult read_schedule(link::SensorLink& link, records::MeasurementSchedule& schedule);
link::CommandResult write_schedule(link::SensorLink& link,
                                   const records::MeasurementSchedule& schedule);

link::CommandResult read_next_measurement(link::SensorLink& link, records::NextMeasurement& next);

}  // namespace kelpira::config
