// kelpira-ctl clock: the sensor's clock as the clock dialog shows it, "Set Now" from a
// typed date and time or from the PC's clock, and "Record Offset..." into a clock log.
#include <algorithm>
#include <iostream>

#include "config/clock_offset.hpp"
#include "config/clock_transfer.hpp"
#include "config/real_time_clock_controller.hpp"
#include "ctl_command.hpp"

namespace kelpira::ctl {

namespace {

struct ClockRequest {
    std::optional<config::CalendarTime> set;  // --set
    bool sync_pc = false;                     // --sync-pc
    bool utc = false;                         // --utc
    std::optional<std::string> log;           // --log FILE
    std::optional<std::string> event;         // --event
};

constexpr common::OptionSpec kClockOptions[] = {
    {"--set", true}, {"--sync-pc"}, {"--utc"}, {"--log", true}, {"--event", true}};

ClockRequest clock_request(const std::vector<std::string>& args) {
    ClockRequest r;
    for (const auto& arg : command_args(args, kClockOptions)) {
        if (arg.is("--set")) {
            if (r.set) {
                throw UsageError("--set given twice");
            }
            r.set = config::parse_calendar_text(arg.value);
            if (!r.set) {
                throw UsageError("--set takes a date and time \"DD/MM/YYYY HH:MM:SS\", not \"" +
                                 arg.value + "\"");
            }
        } else if (arg.is("--sync-pc")) {
            r.sync_pc = true;
        } else if (arg.is("--utc")) {
            r.utc = true;
        } else if (arg.is("--log")) {
            r.log = arg.value;
        } else if (arg.is("--event")) {
            if (std::find(std::begin(records::kClockEvents), std::end(records::kClockEvents),
                          arg.value) == std::end(records::kClockEvents)) {
                throw UsageError("--event takes deployed, recovered or check, not \"" + arg.value +
                                 "\"");
            }
            r.event = arg.value;
        } else {
            throw UsageError("clock does not take " + arg.value);
        }
    }
    if (r.set && r.sync_pc) {
        throw UsageError("clock takes --set or --sync-pc, not both");
    }
    if (r.utc && !r.sync_pc) {
        throw UsageError("--utc goes with --sync-pc");
    }
    if (r.event && !r.log) {
        throw UsageError("--event goes with --log");
    }
    return r;
}

int run_clock(const Invocation& inv) {
    const ClockRequest request = clock_request(inv.args);
    OpenSensor sensor(inv, true);
    if (request.set || request.sync_pc) {
        // The dialog's two choices; its PC choice sends local time unless --utc says otherwise.
        config::ClockControls controls;
        controls.source = request.sync_pc ? config::ClockSource::pc : config::ClockSource::picked;
        controls.picked = request.set.value_or(config::CalendarTime{});
        const auto pc_now = request.utc ? config::pc_utc_time : config::pc_local_time;
        const auto rc =
            config::write_rtc_time(sensor.link(), config::clock_time_to_send(controls, pc_now));
        if (rc != link::kResultSuccess) {
            throw WorkFailure(sensor.path() +
                              ": Failed to set RTC time (status=" + std::to_string(rc) + ")");
        }
    }
    if (request.log) {
        const auto recorded = config::record_clock_offset(
            sensor.link(), *request.log,
            request.event.value_or(std::string(records::kDefaultClockEvent)));
        if (!recorded.ok) {
            throw WorkFailure(sensor.path() + ": " + recorded.error);
        }
        std::cout << recorded.line;
        tell(config::precision_text(recorded.precision_s) +
             ", from the moment the sensor's second changed");
        return 0;
    }
    records::RtcTime now;
    const auto rc = config::read_rtc_time(sensor.link(), now);
    if (rc != link::kResultSuccess) {
        throw WorkFailure(sensor.path() +
                          ": cannot read the sensor's clock (status=" + std::to_string(rc) + ")");
    }
    std::cout << config::rtc_time_text(now) << '\n';
    return 0;
}

const Registration kClock{
    {"clock",
     "clock [--set \"DD/MM/YYYY HH:MM:SS\" | --sync-pc [--utc]] [--log FILE [--event "
     "deployed|recovered|check]]",
     "print the sensor's clock; set it to a date and time or to the PC's local time (UTC with "
     "--utc), then print it; with --log, append its offset from UTC to a clock log and print "
     "that line",
     run_clock}};

}  // namespace

}  // namespace kelpira::ctl
