// The report's lines for the sensor's clock and its measurement schedule.
#include "config/clock_texts.hpp"

#include "config/schedule_time.hpp"

namespace kelpira::config {

namespace {

std::string every(unsigned count, const char* unit) {
    return "Interval: Measure every " + std::to_string(count) + " " + unit +
           (count == 1 ? "" : "s");
}

}  // namespace

std::string sensor_time_report_line(const records::RtcTime& t) {
    return "Sensor time now: " + rtc_time_text(t);
}

std::string start_time_report_line(const records::MeasurementSchedule& s) {
    return "Start Time: " + schedule_time_text(s.start_time);
}

std::string interval_report_line(const records::MeasurementSchedule& s) {
    switch (s.interval_kind) {
        case records::kMeasureContinuously:
            return "Interval: Measure Continuously";
        case records::kMeasureEveryHalfHour:
            return every(records::kHalfHourMinutes, "minute");
        case records::kMeasureEveryNHours:
            return every(s.interval_count, "hour");
        case records::kMeasureEveryNMinutes:
            return every(s.interval_count, "minute");
        default:
            return "Interval: unknown (" + std::to_string(s.interval_kind) + ")";
    }
}

std::string stop_time_report_line(const records::MeasurementSchedule& s) {
    return "Stop Time: " +
           (s.stop_enabled == 0 ? std::string("disabled") : schedule_time_text(s.stop_time));
}

std::vector<std::string> schedule_report_lines(const records::MeasurementSchedule& s) {
    return {start_time_report_line(s), interval_report_line(s), stop_time_report_line(s)};
}

}  // namespace kelpira::config
