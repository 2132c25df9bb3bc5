// kelpira-ctl simulate: the platform simulator without a window, for bench checks of a
// sensor's serial side: status lines on standard error, result rows as CSV on standard output.
#include <signal.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

#include "common/csv_cell.hpp"
#include "common/stop_signals.hpp"
#include "ctl_command.hpp"
#include "host_platform/platform_simulator_controller.hpp"
#include "terminal_prompter.hpp"

namespace kelpira::ctl {

namespace {

using namespace kelpira::host_platform;

constexpr auto kSlice = std::chrono::milliseconds(50);

struct SimulateOptions {
    SimulatorSettings sim;
    SerialSettings serial;
    bool download = false;
    std::optional<std::chrono::seconds> duration;
};

constexpr std::int64_t kI32Min = -2147483648LL;
constexpr std::int64_t kI32Max = 2147483647LL;

// The options as given; each value is applied over the platform type's defaults.
struct SimulateArgs {
    std::string platform;
    std::string port;
    bool download = false;
    std::optional<std::int32_t> dive, min_depth, max_depth, dive_rate, climb_rate, update, sample,
        p1, p2, p3, duration;
    std::optional<double> salinity, temperature;

    PlatformType type() const {
        return platform == "seaglider" ? PlatformType::seaglider
               : platform == "bridges" ? PlatformType::bridges
                                       : PlatformType::eti;
    }

    SimulateOptions options() const {
        SimulateOptions o;
        o.serial.serial_port = port;
        o.download = download;
        choose_platform_type(type(), o.sim, o.serial);
        const auto put = [](const auto& given, auto& field) {
            if (given) {
                field = *given;
            }
        };
        if (dive) {
            o.sim.dive_number = clamp_dive_number(*dive);
        }
        put(min_depth, o.sim.min_depth);
        put(max_depth, o.sim.max_depth);
        put(dive_rate, o.sim.dive_rate);
        put(climb_rate, o.sim.climb_rate);
        if (update) {
            o.sim.update_interval = clamp_interval(*update);
        }
        put(salinity, o.sim.salinity);
        put(temperature, o.sim.temperature);
        put(p1, o.sim.p1);
        put(p2, o.sim.p2);
        put(p3, o.sim.p3);
        if (sample) {
            // Asking for a sample interval asks for samples.
            o.sim.sample_interval = clamp_interval(*sample);
            o.sim.enable_sampling = true;
        }
        if (duration) {
            o.duration = std::chrono::seconds(*duration);
        }
        return o;
    }
};

void declare_simulate_options(CLI::App& command, SimulateArgs& a) {
    using common::add_optional;
    using common::decimal_in;
    using common::whole_number_in;
    command.add_option("--platform", a.platform, "the host platform played")
        ->type_name("P")
        ->required()
        ->transform(common::one_of({"seaglider", "bridges", "eti"}));
    command.add_option("--port", a.port, "a device path or a virtual sensor's serial link")
        ->type_name("PORT")
        ->required();
    add_optional(command, "--dive", a.dive, "the dive number")
        ->type_name("N")
        ->transform(whole_number_in(0, kI32Max));
    add_optional(command, "--min-depth", a.min_depth, "the dive's least depth")
        ->type_name("M")
        ->transform(whole_number_in(kI32Min, kI32Max));
    add_optional(command, "--max-depth", a.max_depth, "the dive's greatest depth")
        ->type_name("M")
        ->transform(whole_number_in(kI32Min, kI32Max));
    add_optional(command, "--dive-rate", a.dive_rate, "the descent rate in cm/s")
        ->type_name("CM_S")
        ->transform(whole_number_in(kI32Min, kI32Max));
    add_optional(command, "--climb-rate", a.climb_rate, "the ascent rate in cm/s")
        ->type_name("CM_S")
        ->transform(whole_number_in(kI32Min, kI32Max));
    add_optional(command, "--update", a.update, "the status update interval in seconds")
        ->type_name("S")
        ->transform(whole_number_in(kMinInterval, kMaxInterval));
    add_optional(command, "--sample", a.sample, "ask the sensor for a sample every S seconds")
        ->type_name("S")
        ->transform(whole_number_in(kMinInterval, kMaxInterval));
    add_optional(command, "--salinity", a.salinity, "the salinity sent, in PSU")
        ->type_name("PSU")
        ->transform(decimal_in(-1e9, 1e9));
    add_optional(command, "--temperature", a.temperature, "the temperature sent, in degC")
        ->type_name("C")
        ->transform(decimal_in(-1e9, 1e9));
    using Field = std::pair<const char*, std::optional<std::int32_t>*>;
    for (const auto& [name, field] :
         {Field{"--p1", &a.p1}, Field{"--p2", &a.p2}, Field{"--p3", &a.p3}}) {
        add_optional(command, name, *field, "a platform parameter")
            ->type_name("N")
            ->transform(whole_number_in(kI32Min, kI32Max));
    }
    CLI::Option* download =
        command.add_flag("--download", a.download, "download the sensor's stored results")
            ->disable_flag_override();
    add_optional(command, "--duration", a.duration, "stop after S seconds")
        ->type_name("S")
        ->transform(whole_number_in(1, kI32Max));
    command.callback([&a, download] {
        if (a.download && !has_download(a.type())) {
            throw common::usage_problem(download->get_name(), "exists for seaglider and bridges");
        }
    });
}

// Shared with the session's threads, which may outlive the command by a moment.
struct Output {
    std::mutex m;
    std::condition_variable cv;
    bool ended = false;
    bool complete = true;  // a download whose line failed is not
    bool header_written = false;
    std::string port;

    // The column titles go out once, before the first row (or alone at the end).
    void write_header() {
        if (header_written) {
            return;
        }
        header_written = true;
        std::array<std::string_view, kResultColumnCount> titles;
        for (std::size_t i = 0; i < titles.size(); ++i) {
            titles[i] = kResultColumns[i].title;
        }
        std::cout << common::csv_line(titles);
    }
};

int run_simulate(const SimulateOptions& o) {
    auto out = std::make_shared<Output>();
    out->port = o.serial.serial_port;
    SimulatorEvents events;
    events.status = [out](const std::string& text) {
        std::lock_guard lock(out->m);
        tell(out->port + ": " + text);  // a reply it quotes is in its visible form
    };
    events.add_row = [out](const ResultRow& row) {
        std::lock_guard lock(out->m);
        out->write_header();
        std::cout << common::csv_line(row) << std::flush;
    };
    events.download_finished = [out](std::uint64_t, bool complete) {
        std::lock_guard lock(out->m);
        out->ended = true;
        out->complete = complete;
        out->cv.notify_all();
    };
    // Ending the session (Ctrl+C, or the download done) is the user's Yes to "Stop simulation?".
    TerminalPrompter prompter;
    prompter.agree_to("Exit");
    PlatformSimulatorController controller(prompter, events);

    const common::StopSignalScope stop({SIGINT, SIGTERM});
    const bool started =
        o.download ? controller.download(o.sim, o.serial) : controller.start(o.sim, o.serial);
    if (!started) {
        return 1;
    }
    const auto give_up = o.duration ? std::chrono::steady_clock::now() + *o.duration
                                    : std::chrono::steady_clock::time_point::max();
    {
        std::unique_lock lock(out->m);
        while (!out->ended && !common::interrupted() &&
               std::chrono::steady_clock::now() < give_up) {
            out->cv.wait_for(lock, kSlice);
        }
    }
    controller.stop();
    std::lock_guard lock(out->m);
    out->write_header();
    std::cout.flush();
    return std::cout && out->complete ? 0 : 1;
}

Run declare_simulate(CLI::App& command) {
    auto a = std::make_shared<SimulateArgs>();
    declare_simulate_options(command, *a);
    return [a](const Invocation&) { return run_simulate(a->options()); };
}

const Registration kSimulate{
    {"simulate",
     "play a host platform on a serial port (--sample asks for samples every S seconds): "
     "status on standard error, results as CSV; until interrupted, S seconds, or the download "
     "ends (status 1 when its line failed)",
     declare_simulate}};

}  // namespace

}  // namespace kelpira::ctl
