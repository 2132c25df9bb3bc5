// The clock dialog's display thread and "Set Now".
#include "config/real_time_clock_controller.hpp"

#include <utility>

#include "config/clock_transfer.hpp"

namespace kelpira::config {

records::RtcTime clock_time_to_send(const ClockControls& c, const PcClock& pc_now) {
    return rtc_time_of(c.source == ClockSource::pc ? pc_now() : c.picked);
}

std::string read_clock_text(link::SensorLink& link) {
    records::RtcTime t;
    return read_rtc_time(link, t) == link::kResultSuccess ? rtc_time_text(t)
                                                          : std::string(kClockReadError);
}

ClockDisplay::ClockDisplay(link::SensorLink& link, Sink sink, std::chrono::milliseconds period)
    : worker_([link = &link, sink = std::move(sink), period](common::WorkerControl& control) {
          do {
              sink(read_clock_text(*link));
          } while (!control.wait(period));
      }) {}

RealTimeClockController::RealTimeClockController(link::SensorLink& link, common::Prompter& prompter,
                                                 ClockDisplay::Sink display, PcClock pc_now,
                                                 std::chrono::milliseconds period)
    : link_(link),
      prompter_(prompter),
      pc_now_(std::move(pc_now)),
      display_(std::make_unique<ClockDisplay>(link, std::move(display), period)) {
    controls_.picked = pc_now_();
}

RealTimeClockController::~RealTimeClockController() {
    close();
}

bool RealTimeClockController::set_now() {
    if (write_rtc_time(link_, clock_time_to_send(controls_, pc_now_)) != link::kResultSuccess) {
        prompter_.message("Save", "Failed to set RTC time");
        return false;
    }
    if (display_) {
        display_->refresh();
    }
    return true;
}

bool RealTimeClockController::record_offset(std::string& log_path, const UtcClock& utc) {
    common::FileRequest request;
    request.title = std::string(kRecordOffsetTitle);
    request.filters = {{"Clock Logs (*.csv)", "*.csv"}, {"All Files (*.*)", "*.*"}};
    request.default_extension = "csv";
    request.initial_name = log_path;
    request.prompt_overwrite = false;  // the line is appended
    const auto path = prompter_.choose_save_file(request);
    if (!path) {
        return false;
    }
    log_path = *path;
    const auto recorded = record_clock_offset(link_, *path, controls_.event, utc);
    if (!recorded.ok) {
        prompter_.message(std::string(kRecordOffsetTitle),
                          "Offset not recorded in " + *path + ": " + recorded.error);
        return false;
    }
    std::string line = recorded.line;
    line.pop_back();  // its line feed
    prompter_.message(
        std::string(kRecordOffsetTitle),
        "Recorded in " + *path + " (" + precision_text(recorded.precision_s) + "):\n" + line);
    return true;
}

void RealTimeClockController::close() {
    if (display_) {
        display_->stop();
        display_.reset();
    }
}

}  // namespace kelpira::config
