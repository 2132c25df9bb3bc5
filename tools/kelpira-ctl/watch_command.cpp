// kelpira-ctl watch: the rows of a text view as CSV, for bench logs and scripts: live samples
// as the raw output view lists them, the sensor's stored results as the processed output view
// lists them, or its diagnostics log as the diagnostics view lists it.
#include <signal.h>

#include <chrono>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/csv_cell.hpp"
#include "common/stop_signals.hpp"
#include "ctl_command.hpp"
#include "link/board_commands.hpp"
#include "link/operation_commands.hpp"
#include "records/chemistry_transfer.hpp"
#include "views/view_cells.hpp"
#include "views/view_frame_controller.hpp"

namespace kelpira::ctl {

namespace {

enum class Watched { raw, results, diagnostics };

struct WatchOptions {
    Watched watched = Watched::raw;
    std::optional<std::uint64_t> count;
};

// The views' periods: the live history gains a sample a second, the stores are drained in
// bursts every 500 ms.
constexpr auto kRawPeriod = std::chrono::milliseconds(1000);
constexpr auto kStorePeriod = std::chrono::milliseconds(500);
constexpr auto kSlice = std::chrono::milliseconds(50);

void print_line(const std::vector<std::string>& cells) {
    std::cout << common::csv_line(cells) << std::flush;
    if (!std::cout) {
        throw WorkFailure("standard output: cannot write");
    }
}

// Rows until interrupted or `count` were printed. `fetch` prints what is available now and
// returns how many rows it printed, printing no more than it is allowed.
template <typename Fetch>
void watch_loop(const WatchOptions& o, std::chrono::milliseconds period, Fetch fetch) {
    std::uint64_t printed = 0;
    while (!common::interrupted()) {
        const std::uint64_t allowed = o.count ? *o.count - printed : UINT64_MAX;
        printed += fetch(allowed);
        if (o.count && printed >= *o.count) {
            return;
        }
        for (auto slept = std::chrono::milliseconds(0); slept < period && !common::interrupted();
             slept += kSlice) {
            std::this_thread::sleep_for(kSlice);
        }
    }
}

// A read no sensor answered ends the watch; one the sensor refused only means nothing new.
void fail_if_gone(OpenSensor& sensor, link::CommandResult rc) {
    if (rc == link::kResultNoExchange) {
        const std::string why = link::loss_text(sensor.link().loss());
        throw WorkFailure(sensor.path() + ": " +
                          (why.empty() ? "the sensor does not answer" : why));
    }
}

void watch_raw(OpenSensor& sensor, const WatchOptions& o) {
    print_line(views::column_titles(views::raw_output_columns()));
    std::optional<std::uint32_t> last;
    watch_loop(o, kRawPeriod, [&](std::uint64_t) -> std::uint64_t {
        link::RecordBytes<link::kLiveStatusSize> bytes{};
        const auto rc = link::get_live_status(sensor.link(), bytes);
        fail_if_gone(sensor, rc);
        const auto status = records::decode_live_status(bytes);
        if (rc != link::kResultSuccess || status.sample.counter == last) {
            return 0;  // no sample in this cycle (a low supply), or the same one again
        }
        last = status.sample.counter;
        print_line(views::raw_output_cells(status.sample));
        return 1;
    });
}

void watch_results(OpenSensor& sensor, const WatchOptions& o) {
    records::ChemistryConfig chemistry = views::fallback_chemistry_config();
    if (records::get_chemistry_config(sensor.link(), chemistry) != link::kResultSuccess) {
        tell(sensor.path() + ": Unable to get current chemistry from sensor");
    }
    auto columns = views::processed_output_columns();
    views::title_processed_columns(columns, chemistry.chemistry);
    print_line(views::column_titles(columns));
    if (link::open_output_stream(sensor.link()) != link::kResultSuccess) {
        throw WorkFailure(sensor.path() + ": the sensor does not open its output stream");
    }
    watch_loop(o, kStorePeriod, [&](std::uint64_t allowed) {
        std::uint64_t n = 0;
        link::RecordBytes<link::kOutputRecordSize> bytes{};
        link::CommandResult rc = link::kResultSuccess;
        while (n < allowed && !common::interrupted() &&
               (rc = link::read_output_record(sensor.link(), bytes)) == link::kResultSuccess) {
            print_line(views::processed_output_cells(records::decode_output_record(bytes)));
            ++n;
        }
        fail_if_gone(sensor, rc);
        return n;
    });
}

void watch_diagnostics(OpenSensor& sensor, const WatchOptions& o) {
    print_line(views::column_titles(views::diagnostics_columns()));
    if (link::open_diagnostics(sensor.link()) != link::kResultSuccess) {
        throw WorkFailure(sensor.path() + ": the sensor does not open its diagnostics log");
    }
    watch_loop(o, kStorePeriod, [&](std::uint64_t allowed) {
        std::uint64_t n = 0;
        link::RecordBytes<link::kDiagnosticsEntrySize> bytes{};
        link::CommandResult rc = link::kResultSuccess;
        while (n < allowed && !common::interrupted() &&
               (rc = link::read_diagnostics(sensor.link(), bytes)) == link::kResultSuccess) {
            print_line(views::diagnostics_row(records::decode_diagnostics_entry(bytes)).cells);
            ++n;
        }
        fail_if_gone(sensor, rc);
        return n;
    });
}

int run_watch(const Invocation& inv, const WatchOptions& o) {
    OpenSensor sensor(inv, true);
    // Ctrl+C ends the watch like --count: what was printed stands, and the status is 0.
    const common::StopSignalScope stop({SIGINT, SIGTERM});
    switch (o.watched) {
        case Watched::raw:
            watch_raw(sensor, o);
            break;
        case Watched::results:
            watch_results(sensor, o);
            break;
        case Watched::diagnostics:
            watch_diagnostics(sensor, o);
            break;
    }
    return 0;
}

Run declare_watch(CLI::App& command) {
    auto o = std::make_shared<WatchOptions>();
    const auto watched = [o](Watched w) { return [o, w](std::int64_t) { o->watched = w; }; };
    CLI::Option* raw = command.add_flag_function("--raw", watched(Watched::raw),
                                                 "live samples, one a second (the default)");
    CLI::Option* results =
        command.add_flag_function("--results", watched(Watched::results), "the stored results");
    CLI::Option* diagnostics = command.add_flag_function(
        "--diagnostics", watched(Watched::diagnostics), "the diagnostics log");
    for (CLI::Option* kind : {raw, results, diagnostics}) {
        kind->disable_flag_override();
        for (CLI::Option* other : {raw, results, diagnostics}) {
            if (other != kind) {
                kind->excludes(other);
            }
        }
    }
    common::add_optional(command, "--count", o->count, "stop after N rows (default: Ctrl+C)")
        ->type_name("N")
        ->transform(common::whole_number_in(1, 4294967295LL));
    return [o](const Invocation& inv) { return run_watch(inv, *o); };
}

const Registration kWatch{
    {"watch",
     "rows as CSV with the text views' column titles and cell texts (default --raw: live "
     "samples; --results: stored results; --diagnostics: the log), until interrupted or N rows",
     declare_watch}};

}  // namespace

}  // namespace kelpira::ctl
