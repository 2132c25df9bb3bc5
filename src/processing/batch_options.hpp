// The command line of kelpira-process: which chemistry, header keys to override, where the
// results and the log go, and the raw files to process.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "processing/output_format.hpp"
#include "processing/raw_header.hpp"

namespace kelpira::processing {

// The chemistry a run processes; `automatic` takes it from each file's TYPE key.
enum class ChemistryChoice { automatic, nutrient, ph, ta, dic };

// "auto", "nutrient", "ph", "ta", "dic" (the names the command line takes).
std::string_view chemistry_choice_name(ChemistryChoice c);

struct BatchOptions {
    ChemistryChoice chemistry = ChemistryChoice::automatic;
    std::vector<HeaderOverride> overrides;  // --set KEY=VALUE, applied after each header
    std::optional<std::string> output;      // none or "-": standard output
    std::optional<std::string> log;         // none: the engine's log lines are dropped; "-":
                                            // standard error
    bool progress = false;
    unsigned jobs = 0;               // --jobs N: files processed at once; 0: one per core
    std::vector<std::string> files;  // "-": standard input
    OutputFormatOptions format;
    std::string command_line;  // as given, for the NetCDF file's history

    bool writes_to_stdout() const { return !output || *output == "-"; }
};

// The outcome of reading the command line: options to run, a request for help, or the
// reason the command line is wrong.
struct ParsedCommandLine {
    std::optional<BatchOptions> options;
    bool help = false;
    bool version = false;
    std::string error;  // set when the command line is not usable
};

// The most files processed at once.
inline constexpr unsigned kMaxJobs = 256;

inline constexpr std::string_view kUsage =
    "usage: kelpira-process [--chemistry auto|nutrient|ph|ta|dic] [--set KEY=VALUE]...\n"
    "                       [--format csv|netcdf] [--attr NAME=VALUE]...\n"
    "                       [--output FILE] [--log FILE] [--progress] [--jobs N] FILE...\n"
    "       kelpira-process --help | --version\n";

// The help text: usage and what each option does.
std::string help_text();

// Reads the arguments after the program name.
ParsedCommandLine parse_command_line(std::span<const std::string_view> args);

}  // namespace kelpira::processing
