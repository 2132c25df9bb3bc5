// kelpira-ctl report and config: the configuration report line for line as the "Sensor
// Configuration Log" lists it, and configuration snapshots exported from and imported into a
// sensor.
#include <chrono>
#include <iostream>
#include <iterator>
#include <sstream>

#include "ctl_command.hpp"
#include "report/config_report.hpp"
#include "report/snapshot.hpp"
#include "report/snapshot_file.hpp"

namespace kelpira::ctl {

namespace {

std::int64_t pc_utc_now() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

int run_report(const Invocation& inv) {
    static constexpr common::OptionSpec kOptions[] = {{"-o", true}};
    std::string output = "-";
    for (const auto& arg : command_args(inv.args, kOptions)) {
        if (arg.option == nullptr) {
            throw UsageError("unknown argument " + arg.value);
        }
        output = arg.value;
    }
    OpenSensor sensor(inv, true);
    const auto report = report::build_config_report(sensor.link(), pc_utc_now());
    std::string text;
    for (const auto& line : report.lines) {
        text += line + "\n";
    }
    write_result(output, text);
    if (report.failed_reads > 0) {
        throw WorkFailure(sensor.path() + ": the report is incomplete, " +
                          std::to_string(report.failed_reads) + " of its reads failed");
    }
    return 0;
}

int config_export(const Invocation& inv) {
    if (inv.args.size() != 2) {
        throw UsageError("config export takes one file argument");
    }
    OpenSensor sensor(inv, true);
    const auto read = report::read_snapshot(sensor.link());
    if (!read.snapshot) {
        throw WorkFailure(sensor.path() + ": " + read.failure);
    }
    write_result(inv.args[1], report::snapshot_text(*read.snapshot));
    return 0;
}

report::Json read_snapshot_argument(const std::string& path) {
    try {
        if (path != "-") {
            return report::load_snapshot(path);
        }
        const std::string text{std::istreambuf_iterator<char>(std::cin),
                               std::istreambuf_iterator<char>()};
        return report::parse_snapshot(text);
    } catch (const report::SnapshotFault& fault) {
        // A file that cannot be read is named by the fault itself.
        const std::string what = fault.what();
        if (what.starts_with(path + ": ")) {
            throw WorkFailure(what);
        }
        throw WorkFailure((path == "-" ? std::string("standard input") : path) + ": " + what);
    }
}

int config_import(const Invocation& inv) {
    std::optional<std::string> input;
    static constexpr common::OptionSpec kOptions[] = {
        {"--dry-run"}, {"--include-identity"}, {"--force"}};
    report::ImportOptions options;
    const std::vector<std::string> args(inv.args.begin() + 1, inv.args.end());
    for (const auto& arg : command_args(args, kOptions)) {
        if (arg.is("--dry-run")) {
            options.dry_run = true;
        } else if (arg.is("--include-identity")) {
            options.include_identity = true;
        } else if (arg.is("--force")) {
            options.force = true;
        } else if (!input) {
            input = arg.value;
        } else {
            throw UsageError("unknown argument " + arg.value);
        }
    }
    if (!input) {
        throw UsageError("config import takes one file argument");
    }
    // A bad snapshot is refused before the sensor is even opened.
    const report::Json snapshot = read_snapshot_argument(*input);
    OpenSensor sensor(inv, true);
    const auto result = report::import_snapshot(sensor.link(), snapshot, options);
    if (result.refusal) {
        throw WorkFailure(sensor.path() + ": " + *result.refusal +
                          (result.chemistry_differs ? " (--force restores it anyway)" : ""));
    }
    std::string text;
    for (const auto& line : report::outcome_lines(result)) {
        text += line + "\n";
    }
    write_result("-", text);
    if (!result.ok()) {
        throw WorkFailure(sensor.path() + ": the sensor is not as the snapshot has it");
    }
    return 0;
}

int run_config(const Invocation& inv) {
    if (inv.args.empty()) {
        throw UsageError("config needs a sub-command: export or import");
    }
    if (inv.args[0] == "export") {
        return config_export(inv);
    }
    if (inv.args[0] == "import") {
        return config_import(inv);
    }
    throw UsageError("unknown sub-command config " + inv.args[0]);
}

const Registration kReport{{"report", "report [-o OUT]",
                            "the configuration report, line for line as the dialog lists it",
                            run_report}};
const Registration kConfig{
    {"config", "config export OUT | config import IN [--dry-run] [--include-identity] [--force]",
     "a configuration snapshot (JSON): export every record; import writes what differs, reads "
     "it back and prints per record what happened (--dry-run writes nothing; the identity is "
     "written only with --include-identity; another chemistry only with --force)",
     run_config}};

}  // namespace

}  // namespace kelpira::ctl
