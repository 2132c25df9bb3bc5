// kelpira-ctl clock: the sensor's clock as the clock dialog shows it, and "Set Now" from a
// typed date and time or from the PC's clock.
#include <iostream>
#include <memory>
#include <string>

#include "config/clock_transfer.hpp"
#include "config/real_time_clock_controller.hpp"
#include "ctl_command.hpp"

namespace kelpira::ctl {

namespace {

struct ClockRequest {
    std::optional<config::CalendarTime> set;  // --set
    bool sync_pc = false;                     // --sync-pc
    bool utc = false;                         // --utc
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
    return [r](const Invocation& inv) { return run_clock(inv, *r); };
}

const Registration kClock{
    {"clock",
     "print the sensor's clock; set it to a date and time or to the PC's local time (UTC with "
     "--utc), then print it",
     declare_clock}};

}  // namespace

}  // namespace kelpira::ctl
