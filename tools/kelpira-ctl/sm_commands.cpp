// kelpira-ctl sm: state-machine program files converted, summarised and dry-run as the editor
// does, and read from or written to the sensor.
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>

#include "ctl_command.hpp"
#include "statemachine/legacy_losses.hpp"
#include "statemachine/state_files.hpp"
#include "statemachine/state_summary.hpp"
#include "statemachine/state_transfer.hpp"

namespace kelpira::ctl {

namespace {

using namespace statemachine;

// The arguments of the sm commands.
struct SmArgs {
    std::string in, out;                             // the file operands
    std::optional<std::string> output;               // -o
    std::optional<std::uint32_t> dry_run;            // --dry-run START
    std::optional<std::uint32_t> pump_timeout;       // --pump-timeout STATE
    std::optional<statemachine::FileLayout> format;  // --format, for "-"
    bool allow_loss = false;                         // --allow-loss: a lossy .dat is written
};

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

TransferProgress progress_for(const Invocation& inv, const char* verb) {
    if (!inv.progress) {
        return {};
    }
    return [verb](std::size_t done, std::size_t total) {
        std::cerr << "\r" << kProgram << ": " << verb << " state " << done << " of " << total
                  << (done == total ? "\n" : "") << std::flush;
    };
}

int run_convert(const SmArgs& a) {
    write_file(a.out, read_file(a.in, a), a);
    return 0;
}

int run_summary(const SmArgs& a) {
    const StateMachineImage image = read_file(a.in, a);
    for (const auto& n : {a.dry_run, a.pump_timeout}) {
        if (n && *n > image.last_index) {
            throw WorkFailure(a.in + ": state " + std::to_string(*n) +
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

int run_get(const Invocation& inv, const SmArgs& a) {
    OpenSensor sensor(inv, true);
    StateMachineImage image;
    const TransferOutcome out =
        load_from_sensor(sensor.link(), image, progress_for(inv, "reading"));
    if (!out.ok) {
        throw WorkFailure(sensor.path() +
                          ": Failed to load state machine from sensor: " + out.detail);
    }
    write_file(a.out, image, a);
    return 0;
}

int run_put(const Invocation& inv, const SmArgs& a) {
    const StateMachineImage image = read_file(a.in, a);
    OpenSensor sensor(inv, true);
    const TransferOutcome out = save_to_sensor(sensor.link(), image, progress_for(inv, "writing"));
    if (!out.ok) {
        throw WorkFailure(sensor.path() + ": Failed to save state machine to sensor: " +
                          out.detail + " (" + saved_states_text(out, image.state_count()) + ")");
    }
    return 0;
}

Run declare_sm(CLI::App& sm) {
    auto a = std::make_shared<SmArgs>();
    CLI::App* convert = sm.add_subcommand(
        "convert",
        "convert a program; the layout follows each file name: .asm (and any other\n"
        "name) 77-byte records, an extension starting with d (.dat) the legacy\n"
        "102-byte records, .json the JSON text form");
    convert->add_option("IN", a->in, "the program file")->required();
    convert->add_option("OUT", a->out, "the file written")->required();
    CLI::App* summary = sm.add_subcommand(
        "summary",
        "the \"State Machine Definition\" table, or a dry run (its end message on\n"
        "standard error)");
    summary->add_option("FILE", a->in, "the program file")->required();
    CLI::Option* dry_run =
        common::add_optional(*summary, "--dry-run", a->dry_run, "dry-run the program from START")
            ->type_name("START")
            ->transform(common::whole_number_in(0, 4294967295LL));
    common::add_optional(*summary, "--pump-timeout", a->pump_timeout,
                         "in the dry run, this state's pump times out")
        ->type_name("STATE")
        ->transform(common::whole_number_in(0, 4294967295LL))
        ->needs(dry_run);
    common::add_optional(*summary, "-o", a->output, "write the table to OUT (default: -)")
        ->type_name("OUT");
    CLI::App* get = sm.add_subcommand("get", "read the sensor's program into a file");
    get->add_option("OUT", a->out, "the file written")->required();
    CLI::App* put = sm.add_subcommand("put", "write a program file to the sensor");
    put->add_option("IN", a->in, "the program file")->required();
    for (CLI::App* command : {convert, get}) {
        command->add_flag("--allow-loss", a->allow_loss,
                          "write a legacy (.dat) file even when it cannot keep the whole\n"
                          "program; without it such a file is refused, naming what it would lose");
    }
    for (CLI::App* command : {convert, summary, get, put}) {
        command
            ->add_option_function<std::string>(
                "--format",
                [a](const std::string& name) {
                    a->format = name == "asm"   ? FileLayout::current
                                : name == "dat" ? FileLayout::legacy
                                                : FileLayout::json;
                },
                "the layout of a file given as - (default asm)")
            ->type_name("LAYOUT")
            ->transform(common::one_of({"asm", "dat", "json"}));
    }
    sm.callback([&sm] {
        if (sm.get_subcommands().empty()) {
            throw CLI::RequiredError("convert, summary, get or put");
        }
    });
    return [=](const Invocation& inv) {
        if (convert->parsed()) {
            return run_convert(*a);
        }
        if (summary->parsed()) {
            return run_summary(*a);
        }
        return get->parsed() ? run_get(inv, *a) : run_put(inv, *a);
    };
}

const Registration kSm{
    {"sm",
     "state-machine programs: convert by file name (.asm, .dat-like, .json), the "
     "\"State Machine Definition\" table or a dry run, read from or write to the sensor; a .dat "
     "file that cannot keep the whole program is written only with --allow-loss",
     declare_sm}};

}  // namespace

}  // namespace kelpira::ctl
