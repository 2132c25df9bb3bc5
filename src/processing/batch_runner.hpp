// kelpira-process: runs the processing of many raw files into one result table, as the
// chemistry's processing dialog saves it.
#pragma once

#include <istream>
#include <ostream>

#include "processing/batch_options.hpp"

namespace kelpira::processing {

inline constexpr int kExitProcessed = 0;   // every file processed
inline constexpr int kExitFileFailed = 1;  // a file could not be read or had no usable header
inline constexpr int kExitUsage = 2;       // the command line is wrong
// Interrupted by a signal (common/stop_signals.hpp): no output file was left behind.
inline constexpr int kExitInterrupted = 130;

// Processes the files of `options`. The table goes to `standard_output` when no output file is
// named; every file that fails is named on `standard_error` with the reason, and so is a
// refusal. Returns the exit status.
int run_batch(const BatchOptions& options, std::istream& standard_input,
              std::ostream& standard_output, std::ostream& standard_error);

}  // namespace kelpira::processing
