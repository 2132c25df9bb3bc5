// The report's lines for the sensor's clock and its measurement schedule.
#include "config/clock_texts.hpp"

#include "config/schedule_time.hpp"

namespace kelpira::config {

namespace {

std::string every(unsigned count, const char* unit) {
    return "Interval: Measure every " + std::to_string(count) + " " + unit +
           (count == 1 ? "" : "s");
}

// "UTC+1", "UTC-3:30".
std::string zone_text(std::int64_t offset_s) {
    const std::int64_t minutes = (offset_s < 0 ? -offset_s : offset_s) / 60;
    std::string text =
        std::string("UTC") + (offset_s < 0 ? "-" : "+") + std::to_string(minutes / 60);
    if (minutes % 60 != 0) {
        text += (minutes % 60 < 10 ? ":0" : ":") + std::to_string(minutes % 60);
    }
    return text;
}

// "an hour", "2 hours", "30 minutes", "5 hours 30 minutes".
std::string amount_text(std::int64_t offset_s) {
    const std::int64_t minutes = (offset_s < 0 ? -offset_s : offset_s) / 60;
    const std::int64_t h = minutes / 60;
    const std::int64_t m = minutes % 60;
    const auto count = [](std::int64_t n, const char* unit) {
        return std::to_string(n) + " " + unit + (n == 1 ? "" : "s");
    };
    std::string text = h == 1 ? "an hour" : h > 1 ? count(h, "hour") : "";
    if (m != 0 || h == 0) {
        text += (text.empty() ? "" : " ") + count(m, "minute");
    }
    return text;
}

}  // namespace

std::string local_time_warning(std::int64_t utc_offset_s) {
    return "the sensor keeps local time (" + zone_text(utc_offset_s) + "): its results will be " +
           amount_text(utc_offset_s) +
           " off wherever they are read as UTC; set it to UTC in Configure > Real Time Clock";
}

std::string pc_clock_note(std::int64_t utc_offset_s) {
    return utc_offset_s == 0 ? std::string(kPcClockUtcNote) : local_time_warning(utc_offset_s);
}

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
