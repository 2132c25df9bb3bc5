// kelpira-process --series: one series given as CSV (columns "time" and "value") flagged with
// a parameters file, without raw files; how users re-flag an exported series with new
// thresholds.
#pragma once

#include <istream>
#include <ostream>

#include "processing/batch_options.hpp"

namespace kelpira::processing {

// Flags the series of `options.series` ("-": standard input) with the parameters of
// `options.qc`, those of `options.series_kind` when the file holds several kinds. Prints
// "time,value,gross_range,spike,rate_of_change,flat_line,aggregate" lines to the output, or
// nothing and the problem on `standard_error` (a configuration error naming its key, a time
// that does not increase). Returns the exit status.
int run_series_quality(const BatchOptions& options, std::istream& standard_input,
                       std::ostream& standard_output, std::ostream& standard_error);

}  // namespace kelpira::processing
