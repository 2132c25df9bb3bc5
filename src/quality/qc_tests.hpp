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
// as `values`; the parameters must have been validated (qc_parameters_file checks them). The
// records are flagged as they would have arrived (LiveSeries), so that a reprocessing and the
// live views apply one account of the tests.
SeriesFlags flag_series(const SeriesParameters& parameters, std::span<const double> times,
                        std::span<const double> values);

}  // namespace kelpira::quality
