// The clock and schedule records through the link's command wrappers.
#include "config/clock_transfer.hpp"

#include "link/board_commands.hpp"
#include "link/platform_commands.hpp"

namespace kelpira::config {

static_assert(records::RtcTime::size == link::kRtcTimeSize);
static_assert(records::MeasurementSchedule::size == link::kScheduleSize);

link::CommandResult read_rtc_time(link::SensorLink& link, records::RtcTime& time) {
    link::RecordBytes<link::kRtcTimeSize> bytes{};
    const auto rc = link::get_rtc_time(link, bytes);
    if (rc == link::kResultSuccess) {
        time = records::decode_rtc_time(bytes);
    }
    return rc;
}

link::CommandResult write_rtc_time(link::SensorLink& link, const records::RtcTime& time) {
    return link::set_rtc_time(link, records::encode(time));
}

link::CommandResult read_schedule(link::SensorLink& link, records::MeasurementSchedule& schedule) {
    link::RecordBytes<link::kScheduleSize> bytes{};
    const auto rc = link::get_schedule(link, bytes);
    if (rc == link::kResultSuccess) {
        schedule = records::decode_measurement_schedule(bytes);
    }
    return rc;
}

link::CommandResult write_schedule(link::SensorLink& link,
                                   const records::MeasurementSchedule& schedule) {
    return link::set_schedule(link, records::encode(schedule));
}

link::CommandResult read_next_measurement(link::SensorLink& link, records::NextMeasurement& next) {
    records::NextMeasurement n;
    const auto rc = link::get_next_measurement(link, n.sensor_time, n.next_time, n.stop_reached);
    if (rc == link::kResultSuccess) {
        next = n;
    }
    return rc;
}

}  // namespace kelpira::config
