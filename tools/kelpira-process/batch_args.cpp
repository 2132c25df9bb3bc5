// Reading the command line of kelpira-process.
#include "batch_args.hpp"

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "output_format_args.hpp"
#include "processing/batch_runner.hpp"
#include "quality_args.hpp"

namespace kelpira::process {

namespace {

using processing::BatchOptions;
using processing::ChemistryChoice;

constexpr std::array<std::pair<std::string_view, ChemistryChoice>, 5> kChoices{{
    {"auto", ChemistryChoice::automatic},
    {"nutrient", ChemistryChoice::nutrient},
    {"ph", ChemistryChoice::ph},
    {"ta", ChemistryChoice::ta},
    {"dic", ChemistryChoice::dic},
}};

std::vector<std::string> choice_names() {
    std::vector<std::string> names;
    for (const auto& [name, choice] : kChoices) {
        names.emplace_back(name);
    }
    return names;
}

ChemistryChoice choice_named(std::string_view name) {
    for (const auto& [text, choice] : kChoices) {
        if (text == name) {
            return choice;
        }
    }
    return ChemistryChoice::automatic;
}

bool not_empty(const std::string& text) {
    return !text.empty();
}

// Every option of kelpira-process, read into `o`.
void declare_options(CLI::App& app, BatchOptions& o) {
    app.description(
        "Processes raw output files of the sensor into one table of results (CSV), or one\n"
        "NetCDF file. A FILE \"-\" is standard input; input that cannot be read twice (a pipe,\n"
        "a device) is copied to a nameless temporary file first, up to 256 MiB.");
    app.add_option_function<std::vector<std::string>>(
           "--chemistry",
           [&o](const std::vector<std::string>& given) {
               for (const auto& name : given) {
                   if (name != given.front()) {
                       throw common::usage_problem(
                           "--chemistry", "several chemistries given (" + given.front() + " and " +
                                              name + "): process one chemistry per run");
                   }
               }
               o.chemistry = choice_named(given.front());
           },
           "auto (default: from each file's KELPIRA.CHEMISTRY.TYPE), nutrient, ph,\n"
           "ta or dic; files of another chemistry fail")
        ->type_name("C")
        ->allow_extra_args(false)
        ->transform(common::one_of(choice_names()));
    app.add_option_function<std::vector<std::string>>(
           "--set",
           [&o](const std::vector<std::string>& given) {
               for (const auto& text : given) {
                   const auto eq = text.find('=');
                   o.overrides.push_back({text.substr(0, eq), text.substr(eq + 1)});
               }
           },
           "read the header line %KEY=VALUE after each file's header, for example\n"
           "--set KELPIRA.CHEMISTRY.STANDARD1_CONCENTRATION=10; a file without a\n"
           "header is processed with these values")
        ->type_name("KEY=VALUE")
        ->allow_extra_args(false)
        ->check(common::of_form("KEY=VALUE", [](const std::string& text) {
            const auto eq = text.find('=');
            return eq != std::string::npos && eq > 0;
        }));
    common::add_optional(app, "--output", o.output,
                         "write the table to FILE (default, or -: standard output)")
        ->type_name("FILE")
        ->check(common::of_form("FILE", not_empty));
    declare_output_format(app, o.format);
    common::add_optional(app, "--clock-log", o.clock_log,
                         "correct each result's time for the sensor clock's drift with the\n"
                         "offsets of FILE (kelpira-ctl clock --log), linearly between the\n"
                         "records of the sensor the file's header names: a column\n"
                         "\"Time (UTC, corrected)\" after the time columns; in a NetCDF file\n"
                         "`time` is corrected and `sensor_time` added")
        ->type_name("FILE")
        ->check(common::of_form("FILE", not_empty));
    common::add_optional(app, "--log", o.log,
                         "write the processing log to FILE (-: standard error)")
        ->type_name("FILE")
        ->check(common::of_form("FILE", not_empty));
    app.add_flag("--progress", o.progress, "show a progress bar on standard error")
        ->disable_flag_override();
    app.add_option("--jobs", o.jobs,
                   "process N files at once (default: one per processor core); the table\n"
                   "is the same whatever N")
        ->type_name("N")
        ->transform(common::whole_number_in(1, processing::kMaxJobs));
    auto* files =
        app.add_option("FILE", o.files, "a raw output file; - is standard input")->required();
    declare_quality_control(app, o, files);
    app.footer(
        "Exit status:\n"
        "  0  every file processed\n"
        "  1  a file could not be opened or read, had no header and no --set values,\n"
        "     had no chemistry type (without --chemistry), a chemistry type without\n"
        "     processing or of another chemistry, or a pH sample interval of 0; or\n"
        "     the results or the log could not be written, or the clock log could not\n"
        "     be read or was refused, or the --qc parameters could not be read, were\n"
        "     refused (naming the key) or lack the kind of a file's results, or a\n"
        "     --series file could not be read or its times do not increase\n"
        "  2  the command line is wrong: an unknown option, a missing value, several\n"
        "     chemistries given or found in the files, a --set key the files do not\n"
        "     have, --output or --log naming a raw file or each other, or --format\n"
        "     netcdf without --output FILE");
    app.callback([&o] {
        check_output_format(o.format, o.output);
        check_quality_control(o);
    });
}

}  // namespace

ParsedCommandLine parse_command_line(std::span<const std::string_view> args) {
    CLI::App app{"", std::string(kProgram)};
    common::set_up_program(app);
    BatchOptions options;
    declare_options(app, options);
    ParsedCommandLine parsed;
    parsed.outcome = common::read_command_line(app, {args.begin(), args.end()});
    if (!parsed.outcome.exit_status) {
        parsed.options = std::move(options);
    }
    return parsed;
}

int run_command_line(std::span<const std::string_view> args, std::istream& standard_input,
                     std::ostream& standard_output, std::ostream& standard_error) {
    ParsedCommandLine parsed = parse_command_line(args);
    if (!parsed.options) {
        standard_output << parsed.outcome.out;
        standard_error << parsed.outcome.err;
        return *parsed.outcome.exit_status;
    }
    BatchOptions& options = *parsed.options;
    options.command_line = std::string(kProgram);
    for (const auto arg : args) {
        const bool plain =
            !arg.empty() && arg.find_first_of(" \t\n'\"\\$") == std::string_view::npos;
        options.command_line += plain ? " " + std::string(arg) : " '" + std::string(arg) + "'";
    }
    return processing::run_batch(options, standard_input, standard_output, standard_error);
}

}  // namespace kelpira::process
