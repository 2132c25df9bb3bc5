// The real-time quality tests over one series: gross range, spike, rate of change and flat
// line, each flag of each record, and their aggregate.
//
// A series is one variable of one sensor (one channel of a nutrient sensor) in time order:
// times in UTC seconds, strictly increasing; values as exported, NaN or an infinity where
// missing. Each test looks back only, but the spike test also looks at the next usable
// record: appending records changes only the spike flag (and so the aggregate) of the last
// usable record before them, and flags computed as results arrive equal those of a
// reprocessing.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "quality/qc_parameters.hpp"
#include "quality/quality_flag.hpp"

namespace kelpira::quality {

struct SeriesFlags {
    std::vector<Flag> gross_range;
    std::vector<Flag> spike;
    std::vector<Flag> rate_of_change;
    std::vector<Flag> flat_line;
    std::vector<Flag> aggregate;
};

// The index of the first time that is not finite or does not increase on the one before;
// none when every time is in order.
std::optional<std::size_t> first_time_out_of_order(std::span<const double> times);

// Every flag of every record of the series. `times` must be in order (see above) and as long
// as `values`; the parameters must have been validated (qc_parameters_file checks them).
SeriesFlags flag_series(const SeriesParameters& parameters, std::span<const double> times,
                        std::span<const double> values);

// The flags of each test alone. `usable` holds the records the tests after gross range look
// at: finite values that did not fail the sensor span (usable_records).
struct UsableRecords {
    std::vector<std::size_t> index;  // into the series
    std::vector<double> time;
    std::vector<double> value;
};

std::vector<Flag> gross_range_flags(const std::optional<GrossRangeTest>& test,
                                    std::span<const double> values);
UsableRecords usable_records(std::span<const double> times, std::span<const double> values,
                             std::span<const Flag> gross_range);
std::vector<Flag> spike_flags(const SpikeTest& test, std::optional<double> max_gap_s,
                              std::span<const double> values, const UsableRecords& usable);
std::vector<Flag> rate_of_change_flags(const RateOfChangeTest& test,
                                       std::optional<double> max_gap_s,
                                       std::span<const double> values, const UsableRecords& usable);
std::vector<Flag> flat_line_flags(const FlatLineTest& test, std::optional<double> max_gap_s,
                                  std::span<const double> values, const UsableRecords& usable);
// 9 where the value is missing, else the most severe of 4, 3 and 1 among the tests' flags,
// else 2.
std::vector<Flag> aggregate_flags(std::span<const double> values, const SeriesFlags& flags);

}  // namespace kelpira::quality
