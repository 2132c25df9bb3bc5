// kelpira-ctl sm: state-machine program files converted, summarised and dry-run as the editor
// does, and read from or written to the sensor.
#include <iostream>
#include <sstream>

#include "ctl_command.hpp"
#include "sm_args.hpp"
#include "statemachine/legacy_losses.hpp"
#include "statemachine/state_files.hpp"
#include "statemachine/state_summary.hpp"
#include "statemachine/state_transfer.hpp"

namespace kelpira::ctl {

namespace {

using namespace statemachine;

FileLayout layout(const std::string& path, const SmArgs& a) {
    return path == "-" ? a.format.value_or(FileLayout::current) : layout_for(path);
}

// Reads a program as the editor's "Load State Machine From File..." does.
StateMachineImage read_file(const std::string& path, const SmArgs& a) {
    StateMachineImage image;
    std::string why;
    const bool ok = path == "-" ? read_program(std::cin, layout(path, a), image, why)
                                : load_file(path, image, why);
    if (!ok) {
        throw WorkFailure((path == "-" ? std::string("standard input") : path) + ": " + why);
    }
    return image;
}

std::string file_name(const std::string& path) {
    return path == "-" ? std::string("standard output") : path;
}

// Writes a program as the editor's "Save To File..." does: the legacy layout only when it keeps
// the whole program, or when --allow-loss says what the editor's question would.
void write_file(const std::string& path, const StateMachineImage& image, const SmArgs& a) {
    const FileLayout to = layout(path, a);
    if (to == FileLayout::legacy && !a.allow_loss) {
        if (const LegacyLosses losses = legacy_losses(image); losses.any()) {
            throw WorkFailure(
                file_name(path) + ": the legacy layout (.dat) cannot keep all of this program: " +
                legacy_losses_text(losses) + "; nothing written (--allow-loss writes it anyway)");
        }
    }
    std::ostringstream out;
    if (!write_program(out, to, image)) {
        throw WorkFailure(file_name(path) + ": cannot lay out the program");
    }
    write_result(path, out.str());
}

void expect_operands(const SmArgs& a, std::size_t n) {
    if (a.operands.size() != n) {
        throw UsageError("expected " + std::to_string(n) + " file argument" + (n == 1 ? "" : "s"));
    }
}

TransferProgress progress_for(const Invocation& inv, const char* verb) {
    if (!inv.progress) {
        return {};
    }
    return [verb](std::size_t done, std::size_t total) {
        std::cerr << "\r" << kProgram << ": " << verb << " state " << done << " of " << total
                  << (done == total ? "\n" : "") << std::flush;
    };
}

int convert(const SmArgs& a) {
    expect_operands(a, 2);
    write_file(a.operands[1], read_file(a.operands[0], a), a);
    return 0;
}

int summary(const SmArgs& a) {
    expect_operands(a, 1);
    if (a.pump_timeout && !a.dry_run) {
        throw UsageError("--pump-timeout goes with --dry-run");
    }
    const StateMachineImage image = read_file(a.operands[0], a);
    for (const auto& n : {a.dry_run, a.pump_timeout}) {
        if (n && *n > image.last_index) {
            throw WorkFailure(a.operands[0] + ": state " + std::to_string(*n) +
                              " does not exist (the program has " +
                              std::to_string(image.state_count()) + " states)");
        }
    }
    SummaryRequest request;
    if (a.dry_run) {
        request = {SummaryMode::dry_run, *a.dry_run, a.pump_timeout};
    }
    const Summary table = build_summary(image, request);
    write_result(a.output.value_or("-"), summary_text(table));
    if (table.end_message) {
        tell(*table.end_message);
        // A reference to a state that does not exist strands the sensor: a script should fail.
        if (table.end_message->starts_with("Dry run terminated by invalid state reference")) {
            return 1;
        }
    }
    return 0;
}

int get(const Invocation& inv, const SmArgs& a) {
    expect_operands(a, 1);
    OpenSensor sensor(inv, true);
    StateMachineImage image;
    const TransferOutcome out =
        load_from_sensor(sensor.link(), image, progress_for(inv, "reading"));
    if (!out.ok) {
        throw WorkFailure(sensor.path() +
                          ": Failed to load state machine from sensor: " + out.detail);
    }
    write_file(a.operands[0], image, a);
    return 0;
}

int put(const Invocation& inv, const SmArgs& a) {
    expect_operands(a, 1);
    const StateMachineImage image = read_file(a.operands[0], a);
    OpenSensor sensor(inv, true);
    const TransferOutcome out = save_to_sensor(sensor.link(), image, progress_for(inv, "writing"));
    if (!out.ok) {
        throw WorkFailure(sensor.path() + ": Failed to save state machine to sensor: " +
                          out.detail + " (" + saved_states_text(out, image.state_count()) + ")");
    }
    return 0;
}

int run_sm(const Invocation& inv) {
    if (inv.args.empty()) {
        throw UsageError("sm needs a sub-command: convert, summary, get or put");
    }
    const std::string& sub = inv.args[0];
    const SmArgs a = parse_sm_args(inv.args);
    if ((a.dry_run || a.pump_timeout || a.output) && sub != "summary") {
        throw UsageError("-o, --dry-run and --pump-timeout go with sm summary");
    }
    if (a.allow_loss && sub != "convert" && sub != "get") {
        throw UsageError("--allow-loss goes with sm convert and sm get");
    }
    if (sub == "convert") {
        return convert(a);
    }
    if (sub == "summary") {
        return summary(a);
    }
    if (sub == "get") {
        return get(inv, a);
    }
    if (sub == "put") {
        return put(inv, a);
    }
    throw UsageError("unknown sub-command sm " + sub);
}

const Registration kSm{
    {"sm",
     "sm convert IN OUT | sm summary FILE [--dry-run START] [--pump-timeout STATE] [-o OUT] | "
     "sm get OUT | sm put IN   [--format asm|dat|json for -] [--allow-loss]",
     "state-machine programs: convert by file name (.asm, .dat-like, .json), the "
     "\"State Machine Definition\" table or a dry run, read from or write to the sensor; a .dat "
     "file that cannot keep the whole program is written only with --allow-loss",
     run_sm}};

}  // namespace

}  // namespace kelpira::ctl
