// The report's lines about the sensor's clock and its measurement schedule.
#include "config/clock_texts.hpp"
#include "config/clock_transfer.hpp"
#include "report/report_sections.hpp"

namespace kelpira::report {

void sensor_time_line(link::SensorLink& link, Lines& out) {
    records::RtcTime t;
    const auto rc = config::read_rtc_time(link, t);
    if (rc != link::kResultSuccess) {
        out.push_back(with_status("unable to read DEVICE configuration from sensor", rc));
        return;
    }
    out.push_back(config::sensor_time_report_line(t));
}

void schedule_section(link::SensorLink& link, Lines& out) {
    records::MeasurementSchedule s;
    const auto rc = config::read_schedule(link, s);
    if (rc != link::kResultSuccess) {
        out.push_back(with_status("unable to read schedule configuration from sensor", rc));
        return;
    }
    for (auto& line : config::schedule_report_lines(s)) {
        out.push_back(std::move(line));
    }
}

}  // namespace kelpira::report
