// The schedule dialog's control rules, entry check, reading and saving.
#include "config/measurement_schedule_controller.hpp"

#include <cctype>
#include <charconv>

#include "common/form.hpp"
#include "config/clock_transfer.hpp"

namespace kelpira::config {

namespace {

constexpr std::uint16_t kLowestCount = 1;

CalendarTime shown_time(std::uint32_t seconds) {
    // A stored time past what 32 signed bits hold has no date; the pickers start at the epoch.
    return schedule_calendar(seconds).value_or(CalendarTime{});
}

std::uint16_t entry_count(const std::string& text) {
    return static_cast<std::uint16_t>(common::field_unsigned(text));
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

ScheduleControls show_schedule(const records::MeasurementSchedule& record) {
    ScheduleControls c;
    c.start = shown_time(record.start_time);
    switch (record.interval_kind) {
        case records::kMeasureEveryNHours:
            c.interval_button = records::kMeasureEveryNHours;
            c.hours = std::to_string(record.interval_count);
            break;
        case records::kMeasureEveryHalfHour:
            c.interval_button = records::kMeasureEveryNMinutes;
            c.minutes = std::to_string(records::kHalfHourMinutes);
            break;
        case records::kMeasureEveryNMinutes:
            c.interval_button = records::kMeasureEveryNMinutes;
            c.minutes = std::to_string(record.interval_count);
            break;
        case records::kMeasureContinuously:
            c.interval_button = records::kMeasureContinuously;
            break;
        default:
            c.interval_button = std::nullopt;
            break;
    }
    c.stop_enabled = record.stop_enabled != 0;
    c.stop = shown_time(c.stop_enabled ? record.stop_time : 0);
    return c;
}

records::MeasurementSchedule read_schedule_controls(const ScheduleControls& c,
                                                    std::uint8_t layout) {
    records::MeasurementSchedule r;
    r.layout = layout;
    r.start_time = schedule_seconds_clamped(c.start);
    r.interval_kind = c.interval_button.value_or(records::kMeasureContinuously);
    if (r.interval_kind == records::kMeasureEveryNHours) {
        r.interval_count = entry_count(c.hours);
    } else if (r.interval_kind == records::kMeasureEveryNMinutes) {
        if (layout >= records::kScheduleLayoutMinutes) {
            r.interval_count = entry_count(c.minutes);
        } else {
            r.interval_kind = records::kMeasureEveryHalfHour;
            r.interval_count = records::kHalfHourMinutes;
        }
    }
    if (c.stop_enabled) {
        r.stop_enabled = 1;
        r.stop_time = schedule_seconds_clamped(c.stop);
    }
    return r;
}

records::MeasurementSchedule schedule_to_save(const records::MeasurementSchedule& read,
                                              const ScheduleControls& controls) {
    const ScheduleControls shown = show_schedule(read);
    records::MeasurementSchedule r = read_schedule_controls(controls, read.layout);
    if (controls.start == shown.start) {
        r.start_time = read.start_time;
    }
    if (controls.interval_button == shown.interval_button && controls.hours == shown.hours &&
        controls.minutes == shown.minutes) {
        r.interval_kind = read.interval_kind;
        r.interval_count = read.interval_count;
    }
    if (controls.stop_enabled == shown.stop_enabled && controls.stop == shown.stop) {
        r.stop_enabled = read.stop_enabled;
        r.stop_time = read.stop_time;
    }
    return r;
}

ScheduleEnabling schedule_enabling(const ScheduleControls& c, std::uint8_t layout) {
    return {c.stop_enabled, c.interval_button == records::kMeasureEveryNHours,
            c.interval_button == records::kMeasureEveryNMinutes &&
                layout >= records::kScheduleLayoutMinutes};
}

bool interval_entry_valid(std::string_view text) {
    text = trimmed(text);
    if (text.empty()) {
        return false;  // reads as 0
    }
    long long v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() && end == text.data() + text.size() && v >= kLowestCount && v <= 65535;
}

std::string schedule_saved_message(const std::optional<records::NextMeasurement>& next) {
    const std::string saved = "New schedule saved.\n\n";
    if (!next) {
        return saved + "Now check sensor's clock.";
    }
    if (next->stop_reached != 0) {
        return saved + "Next scheduled measurement: none (stop time reached).";
    }
    return saved + "Sensor time now: " + schedule_time_text(next->sensor_time) +
           ".\nNext scheduled measurement: " + schedule_time_text(next->next_time) + ".";
}

MeasurementScheduleController::MeasurementScheduleController(link::SensorLink& link,
                                                             common::Prompter& prompter)
    : link_(link), prompter_(prompter) {}

bool MeasurementScheduleController::open() {
    records::MeasurementSchedule record;
    if (read_schedule(link_, record) != link::kResultSuccess) {
        prompter_.message("Load Schedule", "Unable to retrieve schedule from sensor");
        return false;
    }
    if (record.layout <= records::kScheduleLayoutTooOld) {
        prompter_.message("Load Schedule",
                          "Unable to get schedule because your sensor's firmware is too old for "
                          "this version of the GUI.");
        return false;
    }
    read_ = record;
    controls_ = show_schedule(record);
    return true;
}

bool MeasurementScheduleController::hours_red() const {
    return enabling().hours && !interval_entry_valid(controls_.hours);
}

bool MeasurementScheduleController::minutes_red() const {
    return enabling().minutes && !interval_entry_valid(controls_.minutes);
}

void MeasurementScheduleController::click_interval(std::uint8_t kind) {
    controls_.interval_button = kind;
    records::MeasurementSchedule r = read_schedule_controls(controls_, read_.layout);
    if (r.interval_kind == records::kMeasureEveryNHours ||
        r.interval_kind == records::kMeasureEveryNMinutes) {
        r.interval_count = kLowestCount;
    }
    controls_ = show_schedule(r);
}

void MeasurementScheduleController::click_stop(bool ticked) {
    controls_.stop_enabled = ticked;
    records::MeasurementSchedule r = read_schedule_controls(controls_, read_.layout);
    r.stop_time = ticked ? r.start_time : 0;
    controls_ = show_schedule(r);
}

void MeasurementScheduleController::save() {
    records::MeasurementSchedule back;
    if (write_schedule(link_, schedule_to_save(read_, controls_)) != link::kResultSuccess ||
        read_schedule(link_, back) != link::kResultSuccess) {
        prompter_.message("Save", "Unable to save schedule to sensor");
        return;
    }
    read_ = back;
    controls_ = show_schedule(back);
    records::NextMeasurement next;
    const bool known = read_next_measurement(link_, next) == link::kResultSuccess;
    prompter_.message("Save", schedule_saved_message(known ? std::optional(next) : std::nullopt));
}

}  // namespace kelpira::config
