// kelpira-ctl report and config: the configuration report line for line as the "Sensor
// Configuration Log" lists it, and configuration snapshots exported from and imported into a
// sensor.
#include <chrono>
#include <iostream>
#include <iterator>
#include <memory>
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

int run_report(const Invocation& inv, const std::string& output) {
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

int config_export(const Invocation& inv, const std::string& output) {
    OpenSensor sensor(inv, true);
    const auto read = report::read_snapshot(sensor.link());
    if (!read.snapshot) {
        throw WorkFailure(sensor.path() + ": " + read.failure);
    }
    write_result(output, report::snapshot_text(*read.snapshot));
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

int config_import(const Invocation& inv, const std::string& input,
                  const report::ImportOptions& options) {
    // A bad snapshot is refused before the sensor is even opened.
    const report::Json snapshot = read_snapshot_argument(input);
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

Run declare_report(CLI::App& command) {
    auto output = std::make_shared<std::string>("-");
    command.add_option("-o", *output, "write the report to OUT (default: -)")->type_name("OUT");
    return [output](const Invocation& inv) { return run_report(inv, *output); };
}

struct ConfigArgs {
    std::string file;
    report::ImportOptions import;
};

Run declare_config(CLI::App& config) {
    auto a = std::make_shared<ConfigArgs>();
    CLI::App* exported = config.add_subcommand("export", "every record into a snapshot file");
    exported->add_option("OUT", a->file, "the snapshot file written")->required();
    CLI::App* imported = config.add_subcommand(
        "import", "write what differs, read it back and print per record what happened");
    imported->add_option("IN", a->file, "the snapshot file")->required();
    imported->add_flag("--dry-run", a->import.dry_run, "write nothing, print what would change")
        ->disable_flag_override();
    imported
        ->add_flag("--include-identity", a->import.include_identity,
                   "write the sensor's name and serial number too")
        ->disable_flag_override();
    imported->add_flag("--force", a->import.force, "restore a snapshot of another chemistry")
        ->disable_flag_override();
    config.callback([&config] {
        if (config.get_subcommands().empty()) {
            throw CLI::RequiredError("export or import");
        }
    });
    return [=](const Invocation& inv) {
        return exported->parsed() ? config_export(inv, a->file)
                                  : config_import(inv, a->file, a->import);
    };
}

const Registration kReport{
    {"report", "the configuration report, line for line as the dialog lists it", declare_report}};
const Registration kConfig{
    {"config",
     "a configuration snapshot (JSON): export every record; import writes what differs, reads "
     "it back and prints per record what happened (--dry-run writes nothing; the identity is "
     "written only with --include-identity; another chemistry only with --force)",
     declare_config}};

}  // namespace

}  // namespace kelpira::ctl
