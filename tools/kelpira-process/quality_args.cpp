// The --qc, --series and --kind options of kelpira-process.
#include "quality_args.hpp"

#include <string>

namespace kelpira::process {

void declare_quality_control(CLI::App& app, processing::BatchOptions& options, CLI::Option* files) {
    common::add_optional(app, "--qc", options.qc,
                         "flag every result with the quality tests (gross range, spike, rate\n"
                         "of change, flat line) and their aggregate, with the parameters of\n"
                         "PARAMS.json, or \"default\" for those kelpira-process ships\n"
                         "(./default for a file of that name): five columns per series after\n"
                         "the table's own (1 pass, 2 not evaluated, 3 suspect, 4 fail,\n"
                         "9 missing); in a NetCDF file, flag variables of each reported value")
        ->type_name("PARAMS.json")
        ->check(common::of_form("PARAMS.json", [](const std::string& t) { return !t.empty(); }));
    // The raw files' requirement is dropped before CLI11 checks requirements, which it does
    // after every option's callback.
    common::add_optional(app, "--series", options.series,
                         "flag the series of FILE.csv (columns time: seconds since 1970 or\n"
                         "ISO 8601, UTC when no zone; value: a number, empty or nan when\n"
                         "missing) with --qc instead of processing raw files: prints\n"
                         "time,value,gross_range,spike,rate_of_change,flat_line,aggregate")
        ->type_name("FILE.csv")
        ->check(common::of_form("FILE.csv", [](const std::string& t) { return !t.empty(); }))
        ->each([files](const std::string&) { files->required(false); });
    common::add_optional(app, "--kind", options.series_kind,
                         "with --series: the parameters of KIND (nitrate, nitrite, phosphate,\n"
                         "silicate, ammonia, iron, pH, TA, DIC, or nitrate/Long ...) when the\n"
                         "parameters file holds several")
        ->type_name("KIND")
        ->check(common::of_form("KIND", [](const std::string& t) { return !t.empty(); }));
}

void check_quality_control(const processing::BatchOptions& options) {
    if (options.series && !options.qc) {
        throw common::usage_problem("--series", "needs --qc PARAMS.json or --qc default");
    }
    if (options.series && !options.files.empty()) {
        throw common::usage_problem("--series", "flags a series alone: give no raw FILE");
    }
    if (options.series && options.format.format == processing::OutputFormat::netcdf) {
        throw common::usage_problem("--series", "prints CSV: give no --format netcdf");
    }
    if (options.series_kind && !options.series) {
        throw common::usage_problem("--kind", "goes with --series");
    }
}

}  // namespace kelpira::process
