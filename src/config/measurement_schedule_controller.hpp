// "Configure Measurement Schedule" without its widgets: the start pickers, the three interval
// buttons with their entries, the stop time, the enabling rules, the entry check and Save
// with its message naming the next measurement.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/prompter.hpp"
#include "config/schedule_time.hpp"
#include "link/sensor_link.hpp"
#include "records/clock_records.hpp"

namespace kelpira::config {

struct ScheduleControls {
    CalendarTime start;  // "Start measuring at:" date and time pickers
    // The interval button selected: kMeasureContinuously, kMeasureEveryNHours or
    // kMeasureEveryNMinutes; none when the stored kind has no button.
    std::optional<std::uint8_t> interval_button = records::kMeasureContinuously;
    std::string hours;          // the entry beside "Hours"
    std::string minutes;        // the entry beside "Minutes"
    bool stop_enabled = false;  // "Enable Stop Time"
    CalendarTime stop;          // "Stop Measuring After:" date and time pickers

    bool operator==(const ScheduleControls&) const = default;
};

struct ScheduleEnabling {
    bool stop_pickers = false;
    bool hours = false;
    bool minutes = false;

    bool operator==(const ScheduleEnabling&) const = default;
};

// A record as the controls show it: kind 4 the hours, kind 1 thirty minutes, kind 5 the
// minutes, any other kind the button of that value (none for an unknown kind) with both
// entries cleared; the stop pickers at 01/01/1970 00:00:00 without a stop time.
ScheduleControls show_schedule(const records::MeasurementSchedule& record);

// The record the controls make for a sensor with `layout`: minutes become kind 1 with 30
// below layout 3; entries are read unsigned and stored in 16 bits.
records::MeasurementSchedule read_schedule_controls(const ScheduleControls& controls,
                                                    std::uint8_t layout);

// The record Save writes: what the controls make, but each part the user left as shown (the
// start, the interval, the stop) keeps the record's values as read. An untouched dialog so
// keeps a kind it has no button for, a half-hour kind on a sensor that knows minutes, and a
// stop time kept while the stop is disabled.
records::MeasurementSchedule schedule_to_save(const records::MeasurementSchedule& read,
                                              const ScheduleControls& controls);

// The stop pickers only with a stop time, the hours entry only with kind 4, the minutes
// entry only with kind 5 on layout 3 or more.
ScheduleEnabling schedule_enabling(const ScheduleControls& controls, std::uint8_t layout);

// An hours or minutes entry holds 1..65535, read as a signed number (empty reads as 0).
bool interval_entry_valid(std::string_view text);

// The message after a good save, with the next-measurement answer when it could be read.
std::string schedule_saved_message(const std::optional<records::NextMeasurement>& next);

class MeasurementScheduleController {
  public:
    MeasurementScheduleController(link::SensorLink& link, common::Prompter& prompter);

    // GET_SCHEDULE and show it. False (after saying so) when it fails or the firmware is too
    // old for the dialog, when the dialog closes.
    bool open();

    ScheduleControls& controls() { return controls_; }
    const ScheduleControls& controls() const { return controls_; }
    std::uint8_t layout() const { return read_.layout; }

    ScheduleEnabling enabling() const { return schedule_enabling(controls_, read_.layout); }
    // An enabled entry that fails the entry check is drawn red and disables "Save".
    bool hours_red() const;
    bool minutes_red() const;
    bool save_enabled() const { return !hours_red() && !minutes_red(); }

    // An interval button clicked: the hours or minutes start from 1 (layout 2: 30 minutes).
    void click_interval(std::uint8_t kind);
    // "Enable Stop Time" clicked: ticking it copies the start date and time to the stop.
    void click_stop(bool ticked);

    // Writes the schedule, reads it back and shows it, then tells when the next measurement
    // is due.
    void save();

  private:
    link::SensorLink& link_;
    common::Prompter& prompter_;
    ScheduleControls controls_;
    records::MeasurementSchedule read_;  // as the sensor last gave it
};

}  // namespace kelpira::config
