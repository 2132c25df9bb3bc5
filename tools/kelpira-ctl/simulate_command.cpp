// kelpira-ctl simulate: the platform simulator without a window, for bench checks of a
// sensor's serial side: status lines on standard error, result rows as CSV on standard output.
#include <signal.h>

#include <array>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>

#include "common/csv_cell.hpp"
#include "common/number_scan.hpp"
#include "common/stop_signals.hpp"
#include "common/visible_text.hpp"
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

std::int64_t integer_of(const std::string& option, const std::string& text, std::int64_t low,
                        std::int64_t high) {
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || v < low || v > high) {
        throw UsageError(option + " takes a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high));
    }
    return v;
}

double decimal_of(const std::string& option, const std::string& text) {
    const auto scanned = common::scan_f64(text);
    const double v = scanned.value;
    if (!scanned.ok || scanned.end != text.size() || !(v > -1e9 && v < 1e9)) {
        throw UsageError(option + " takes a decimal number");
    }
    return v;
}

constexpr common::OptionSpec kSimulateOptions[] = {
    {"--download"},        {"--platform", true},  {"--port", true},      {"--dive", true},
    {"--min-depth", true}, {"--max-depth", true}, {"--dive-rate", true}, {"--climb-rate", true},
    {"--update", true},    {"--sample", true},    {"--salinity", true},  {"--temperature", true},
    {"--p1", true},        {"--p2", true},        {"--p3", true},        {"--duration", true},
};

SimulateOptions parse(const std::vector<std::string>& args) {
    SimulateOptions o;
    std::optional<PlatformType> type;
    constexpr std::int64_t kI32Min = -2147483648LL;
    constexpr std::int64_t kI32Max = 2147483647LL;
    std::optional<std::int32_t> sample;
    // Values are applied after the platform type's defaults.
    std::vector<std::function<void()>> apply;
    for (const auto& arg : command_args(args, kSimulateOptions)) {
        if (arg.option == nullptr) {
            throw UsageError("unknown argument " + arg.value);
        }
        const std::string a(arg.option->name);
        if (a == "--download") {
            o.download = true;
            continue;
        }
        const std::string& v = arg.value;
        auto i32 = [&](std::int32_t& field) {
            const auto n = static_cast<std::int32_t>(integer_of(a, v, kI32Min, kI32Max));
            apply.push_back([&field, n] { field = n; });
        };
        auto real = [&](double& field) {
            const double d = decimal_of(a, v);
            apply.push_back([&field, d] { field = d; });
        };
        if (a == "--platform") {
            type = v == "seaglider" ? std::optional(PlatformType::seaglider)
                   : v == "bridges" ? std::optional(PlatformType::bridges)
                   : v == "eti"     ? std::optional(PlatformType::eti)
                                    : std::nullopt;
            if (!type) {
                throw UsageError("--platform takes seaglider, bridges or eti");
            }
        } else if (a == "--port") {
            o.serial.serial_port = v;
        } else if (a == "--dive") {
            const auto n = clamp_dive_number(integer_of(a, v, 0, kI32Max));
            apply.push_back([&o, n] { o.sim.dive_number = n; });
        } else if (a == "--min-depth") {
            i32(o.sim.min_depth);
        } else if (a == "--max-depth") {
            i32(o.sim.max_depth);
        } else if (a == "--dive-rate") {
            i32(o.sim.dive_rate);
        } else if (a == "--climb-rate") {
            i32(o.sim.climb_rate);
        } else if (a == "--update") {
            const auto n = clamp_interval(integer_of(a, v, kMinInterval, kMaxInterval));
            apply.push_back([&o, n] { o.sim.update_interval = n; });
        } else if (a == "--sample") {
            sample = clamp_interval(integer_of(a, v, kMinInterval, kMaxInterval));
        } else if (a == "--salinity") {
            real(o.sim.salinity);
        } else if (a == "--temperature") {
            real(o.sim.temperature);
        } else if (a == "--p1") {
            i32(o.sim.p1);
        } else if (a == "--p2") {
            i32(o.sim.p2);
        } else if (a == "--p3") {
            i32(o.sim.p3);
        } else if (a == "--duration") {
            o.duration = std::chrono::seconds(integer_of(a, v, 1, kI32Max));
        }
    }
    if (!type) {
        throw UsageError("--platform is required");
    }
    if (o.serial.serial_port.empty()) {
        throw UsageError("--port is required");
    }
    if (o.download && !has_download(*type)) {
        throw UsageError("--download exists for seaglider and bridges");
    }
    choose_platform_type(*type, o.sim, o.serial);
    for (const auto& f : apply) {
        f();
    }
    if (sample) {
        // Asking for a sample interval asks for samples.
        o.sim.sample_interval = *sample;
        o.sim.enable_sampling = true;
    }
    return o;
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

int run_simulate(const Invocation& inv) {
    const SimulateOptions o = parse(inv.args);
    auto out = std::make_shared<Output>();
    out->port = o.serial.serial_port;
    SimulatorEvents events;
    events.status = [out](const std::string& text) {
        std::lock_guard lock(out->m);
        tell(out->port + ": " + common::visible_text(text));  // may quote the sensor's reply
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

const Registration kSimulate{
    {"simulate",
     "simulate --platform seaglider|bridges|eti --port PORT [--dive N] [--min-depth M] "
     "[--max-depth M] [--dive-rate CM_S] [--climb-rate CM_S] [--update S] [--sample S] "
     "[--salinity PSU] [--temperature C] [--p1 N --p2 N --p3 N] [--download] [--duration S]",
     "play a host platform on a serial port (--sample asks for samples every S seconds): "
     "status on standard error, results as CSV; until interrupted, S seconds, or the download "
     "ends (status 1 when its line failed)",
     run_simulate}};

}  // namespace

}  // namespace kelpira::ctl
