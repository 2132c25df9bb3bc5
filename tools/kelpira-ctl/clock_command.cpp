// kelpira-ctl clock: the sensor's clock as the clock dialog shows it, "Set Now" from a
// typed date and time or from the PC's clock, and "Record Offset..." into a clock log.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

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

int run_clock(const Invocation& inv, const ClockRequest& request) {
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

Run declare_clock(CLI::App& command) {
    auto r = std::make_shared<ClockRequest>();
    CLI::Option* set =
        command
            .add_option_function<std::string>(
                "--set", [r](const std::string& v) { r->set = config::parse_calendar_text(v); },
                "set the clock to this date and time first")
            ->type_name("\"DD/MM/YYYY HH:MM:SS\"")
            ->check(common::of_form("DD/MM/YYYY HH:MM:SS", [](const std::string& v) {
                return config::parse_calendar_text(v).has_value();
            }));
    CLI::Option* sync_pc =
        command.add_flag("--sync-pc", r->sync_pc, "set the clock to the PC's local time first")
            ->disable_flag_override()
            ->excludes(set);
    command.add_flag("--utc", r->utc, "with --sync-pc: the PC's UTC time")
        ->disable_flag_override()
        ->needs(sync_pc);
    CLI::Option* log =
        common::add_optional(command, "--log", r->log,
                             "append the clock's offset from UTC to this clock log and print\n"
                             "that line")
            ->type_name("FILE")
            ->check(common::of_form("FILE", [](const std::string& v) { return !v.empty(); }));
    std::vector<std::string> events(std::begin(records::kClockEvents),
                                    std::end(records::kClockEvents));
    common::add_optional(command, "--event", r->event, "the event the offset is logged for")
        ->type_name("E")
        ->transform(common::one_of(events))
        ->needs(log);
    return [r](const Invocation& inv) { return run_clock(inv, *r); };
}

const Registration kClock{
    {"clock",
     "print the sensor's clock; set it to a date and time or to the PC's local time (UTC with "
     "--utc), then print it; with --log, append its offset from UTC to a clock log and print "
     "that line",
     declare_clock}};

}  // namespace

}  // namespace kelpira::ctl
