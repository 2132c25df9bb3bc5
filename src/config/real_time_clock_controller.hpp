// "Configure Sensor's Real Time Clock" without its widgets: the live display of the sensor's
// clock, the two choices of where "Set Now" takes the time from, and "Set Now".
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "common/prompter.hpp"
#include "common/worker.hpp"
#include "config/clock_offset.hpp"
#include "config/clock_texts.hpp"
#include "config/pc_clock.hpp"
#include "config/schedule_time.hpp"
#include "link/sensor_link.hpp"

namespace kelpira::config {

struct ClockControls {
    ClockSource source = ClockSource::picked;  // "To This Date/Time" on opening
    CalendarTime picked;  // the date picker's year, month, day; the time picker's the rest
    std::string event{records::kDefaultClockEvent};  // what "Record Offset..." writes
};

// The pickers are enabled with "To This Date/Time" only.
inline bool pickers_enabled(const ClockControls& c) {
    return c.source == ClockSource::picked;
}

// The clock "Set Now" sends: the pickers' date and time, or the PC's clock as `pc_now` tells
// it (the dialog passes the PC's local time).
records::RtcTime clock_time_to_send(const ClockControls& c, const PcClock& pc_now);

// One round of the display: the sensor's clock as text, or "ERROR" when it cannot be read.
std::string read_clock_text(link::SensorLink& link);

// The display's thread: reads the clock at once, then after each period or wake-up, handing
// every text to the sink on its own thread, until stopped.
class ClockDisplay {
  public:
    using Sink = std::function<void(const std::string&)>;

    static constexpr std::chrono::milliseconds kPeriod{1000};
    static constexpr std::chrono::milliseconds kStopWait{100};

    // The link must outlive the thread (it is the program's one link).
    ClockDisplay(link::SensorLink& link, Sink sink, std::chrono::milliseconds period = kPeriod);

    // Reads the clock again at once.
    void refresh() { worker_.wake(); }
    // Tells the thread to quit and waits for it at most `wait`. True when it has ended; a
    // thread still in a transaction is let go and ends by itself.
    bool stop(std::chrono::milliseconds wait = kStopWait) { return worker_.stop(wait); }

  private:
    common::Worker worker_;
};

class RealTimeClockController {
  public:
    // Opening: the pickers show the PC's time and the display starts.
    RealTimeClockController(link::SensorLink& link, common::Prompter& prompter,
                            ClockDisplay::Sink display, PcClock pc_now = pc_local_time,
                            std::chrono::milliseconds period = ClockDisplay::kPeriod);
    ~RealTimeClockController();  // close()

    ClockControls& controls() { return controls_; }
    const ClockControls& controls() const { return controls_; }

    // "Set Now": SET_RTC_TIME, then the display reads the new time at once; "Failed to set
    // RTC time" when the sensor does not take it. True on success.
    bool set_now();

    // "Record Offset...": asks for the clock log to append to (`log_path`, the one chosen
    // last, offered first, and remembered), measures the clock's offset from `utc` and appends
    // the line for the chosen event. Says what was written, or why nothing was, under
    // "Record Offset". True when the line was written.
    bool record_offset(std::string& log_path, const UtcClock& utc = system_utc);

    // Closing: the display stops, waited for at most 100 ms. Later calls do nothing.
    void close();

  private:
    link::SensorLink& link_;
    common::Prompter& prompter_;
    PcClock pc_now_;
    ClockControls controls_;
    std::unique_ptr<ClockDisplay> display_;
};

}  // namespace kelpira::config
