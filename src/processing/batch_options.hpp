// What a kelpira-process run does: which chemistry, header keys to override, where the
// results and the log go, and the raw files to process.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "processing/output_format.hpp"
#include "processing/raw_header.hpp"

namespace kelpira::processing {

// The chemistry a run processes; `automatic` takes it from each file's TYPE key.
enum class ChemistryChoice { automatic, nutrient, ph, ta, dic };

struct BatchOptions {
    ChemistryChoice chemistry = ChemistryChoice::automatic;
    std::vector<HeaderOverride> overrides;  // --set KEY=VALUE, applied after each header
    std::optional<std::string> output;      // none or "-": standard output
    std::optional<std::string> log;         // none: the engine's log lines are dropped; "-":
                                            // standard error
    std::optional<std::string> clock_log;   // --clock-log: result times corrected with it
    // --qc: the quality-control parameters file, or "default" for the shipped one; each
    // result is then flagged.
    std::optional<std::string> qc;
    // --series FILE: a series given as CSV flagged with --qc instead of raw files processed;
    // --kind: whose parameters, when the file holds several kinds.
    std::optional<std::string> series;
    std::optional<std::string> series_kind;
    bool progress = false;
    unsigned jobs = 0;               // --jobs N: files processed at once; 0: one per core
    std::vector<std::string> files;  // "-": standard input
    OutputFormatOptions format;
    std::string command_line;  // as given, for the NetCDF file's history

    bool writes_to_stdout() const { return !output || *output == "-"; }
};

// The most files processed at once.
inline constexpr unsigned kMaxJobs = 256;

}  // namespace kelpira::processing
