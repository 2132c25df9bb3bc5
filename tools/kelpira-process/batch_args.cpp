// Reading the command line of kelpira-process.
#include "batch_args.hpp"

#include <array>
#include <charconv>
#include <utility>

#include "common/command_line.hpp"
#include "processing/batch_runner.hpp"

namespace kelpira::processing {

namespace {

constexpr std::array<std::pair<std::string_view, ChemistryChoice>, 5> kChoices{{
    {"auto", ChemistryChoice::automatic},
    {"nutrient", ChemistryChoice::nutrient},
    {"ph", ChemistryChoice::ph},
    {"ta", ChemistryChoice::ta},
    {"dic", ChemistryChoice::dic},
}};

ParsedCommandLine failure(std::string message) {
    ParsedCommandLine p;
    p.error = std::move(message);
    return p;
}

constexpr common::OptionSpec kOptions[] = {
    {"--chemistry", true},
    {"--set", true},
    {"--output", true},
    {"--log", true},
    {"--jobs", true},
    {"--format", true},
    {"--attr", true},
    {"--progress"},
    {"--help"},
    {"-h"},
    {"--version"},
    {"--clock-log", true},
};

constexpr std::string_view kProgram = "kelpira-process";

}  // namespace

std::string_view chemistry_choice_name(ChemistryChoice c) {
    for (const auto& [name, choice] : kChoices) {
        if (choice == c) {
            return name;
        }
    }
    return "auto";
}

std::string help_text() {
    return std::string(kUsage) +
           "\n"
           "Processes raw output files of the sensor into one table of results (CSV), or\n"
           "one NetCDF file. A FILE \"-\" is standard input; input that cannot be read twice\n"
           "(a pipe, a device) is copied to a nameless temporary file first, up to 256 MiB.\n"
           "\n"
           "  --chemistry C    auto (default: from each file's KELPIRA.CHEMISTRY.TYPE),\n"
           "                   nutrient, ph, ta or dic; files of another chemistry fail\n"
           "  --set KEY=VALUE  read the header line %KEY=VALUE after each file's header,\n"
           "                   for example --set KELPIRA.CHEMISTRY.STANDARD1_CONCENTRATION=10;\n"
           "                   a file without a header is processed with these values\n"
           "  --output FILE    write the table to FILE (default, or -: standard output)\n" +
           std::string(kOutputFormatHelp) +
           "  --clock-log FILE correct each result's time for the sensor clock's drift\n"
           "                   with the offsets of FILE (kelpira-ctl clock --log), linearly\n"
           "                   between the records of the sensor the file's header names: a\n"
           "                   column \"Time (UTC, corrected)\" after the time columns; in a\n"
           "                   NetCDF file `time` is corrected and `sensor_time` added\n"
           "  --log FILE       write the processing log to FILE (-: standard error)\n"
           "  --progress       show a progress bar on standard error\n"
           "  --jobs N         process N files at once (default: one per processor core);\n"
           "                   the table is the same whatever N\n"
           "  --help           show this help\n"
           "  --version        show the version\n"
           "\n"
           "Exit status:\n"
           "  0  every file processed\n"
           "  1  a file could not be opened or read, had no header and no --set values,\n"
           "     had no chemistry type (without --chemistry), a chemistry type without\n"
           "     processing or of another chemistry, or a pH sample interval of 0; or\n"
           "     the results or the log could not be written, or the clock log could not\n"
           "     be read or was refused\n"
           "  2  the command line is wrong: an unknown option, a missing value, several\n"
           "     chemistries given or found in the files, a --set key the files do not\n"
           "     have, --output or --log naming a raw file or each other, or --format\n"
           "     netcdf without --output FILE\n";
}

ParsedCommandLine parse_command_line(std::span<const std::string_view> args) {
    const common::ParsedArgs parsed = common::parse_args(args, kOptions);
    // Help and version win over everything, an error after them included.
    if (parsed.has("--help") || parsed.has("-h")) {
        ParsedCommandLine p;
        p.help = true;
        return p;
    }
    if (parsed.has("--version")) {
        ParsedCommandLine p;
        p.version = true;
        return p;
    }
    if (!parsed.error.empty()) {
        return failure(parsed.error);
    }
    BatchOptions options;
    std::optional<ChemistryChoice> chemistry;
    for (const auto& arg : parsed.args) {
        const std::string_view value = arg.value;
        if (arg.option == nullptr) {
            options.files.emplace_back(value);
        } else if (arg.is("--progress")) {
            options.progress = true;
        } else if (std::string format_error; take_output_format_option(
                       arg.option->name, value, options.format, format_error)) {
            if (!format_error.empty()) {
                return failure(format_error);
            }
        } else if (arg.is("--chemistry")) {
            std::optional<ChemistryChoice> choice;
            for (const auto& [text, c] : kChoices) {
                if (value == text) {
                    choice = c;
                }
            }
            if (!choice) {
                return failure("unknown chemistry \"" + std::string(value) +
                               "\" (choose auto, nutrient, ph, ta or dic)");
            }
            if (chemistry && *chemistry != *choice) {
                return failure("several chemistries given (" +
                               std::string(chemistry_choice_name(*chemistry)) + " and " +
                               std::string(value) + "): process one chemistry per run");
            }
            chemistry = choice;
        } else if (arg.is("--set")) {
            const auto eq = value.find('=');
            if (eq == std::string_view::npos || eq == 0) {
                return failure(
                    "--set needs KEY=VALUE, for example "
                    "--set KELPIRA.CHEMISTRY.STANDARD1_CONCENTRATION=10");
            }
            options.overrides.push_back(
                {std::string(value.substr(0, eq)), std::string(value.substr(eq + 1))});
        } else if (arg.is("--jobs")) {
            unsigned jobs = 0;
            const char* end = value.data() + value.size();
            const auto [p, ec] = std::from_chars(value.data(), end, jobs);
            if (ec != std::errc{} || p != end || jobs == 0 || jobs > kMaxJobs) {
                return failure("--jobs takes a number of files from 1 to " +
                               std::to_string(kMaxJobs) + ", not \"" + std::string(value) + "\"");
            }
            options.jobs = jobs;
        } else if (value.empty()) {
            return failure(std::string(arg.option->name) + " needs a file name");
        } else if (arg.is("--output")) {
            if (options.output) {
                return failure("--output given twice");
            }
            options.output = std::string(value);
        } else if (arg.is("--clock-log")) {
            if (options.clock_log) {
                return failure("--clock-log given twice");
            }
            options.clock_log = std::string(value);
        } else {
            if (options.log) {
                return failure("--log given twice");
            }
            options.log = std::string(value);
        }
    }
    if (options.files.empty()) {
        return failure("no raw file to process");
    }
    if (auto problem = output_format_problem(options.format, options.output)) {
        return failure(*problem);
    }
    options.chemistry = chemistry.value_or(ChemistryChoice::automatic);
    ParsedCommandLine p;
    p.options = std::move(options);
    return p;
}

int run_command_line(std::span<const std::string_view> args, std::istream& standard_input,
                     std::ostream& standard_output, std::ostream& standard_error) {
    const ParsedCommandLine parsed = parse_command_line(args);
    if (parsed.help) {
        standard_output << help_text();
        return kExitProcessed;
    }
    if (parsed.version) {
        standard_output << common::version_line(kProgram);
        return kExitProcessed;
    }
    if (!parsed.options) {
        standard_error << common::usage_error_text(kProgram, parsed.error, kUsage);
        return kExitUsage;
    }
    BatchOptions options = *parsed.options;
    options.command_line = std::string(kProgram);
    for (const auto arg : args) {
        const bool plain =
            !arg.empty() && arg.find_first_of(" \t\n'\"\\$") == std::string_view::npos;
        options.command_line += plain ? " " + std::string(arg) : " '" + std::string(arg) + "'";
    }
    return run_batch(options, standard_input, standard_output, standard_error);
}

}  // namespace kelpira::processing
