// A whole series flagged record by record, as its results would have arrived.
#include "quality/qc_tests.hpp"

#include <cmath>

#include "quality/live_series.hpp"

namespace kelpira::quality {

namespace {

void put(SeriesFlags& out, std::size_t i, const RecordFlags& flags) {
    out.gross_range[i] = flags[0];
    out.spike[i] = flags[1];
    out.rate_of_change[i] = flags[2];
    out.flat_line[i] = flags[3];
    out.aggregate[i] = flags[kAggregateFlag];
}

}  // namespace

std::optional<std::size_t> first_time_out_of_order(std::span<const double> times) {
    for (std::size_t i = 0; i < times.size(); ++i) {
        if (!std::isfinite(times[i]) || (i > 0 && !(times[i] > times[i - 1]))) {
            return i;
        }
    }
    return std::nullopt;
}

SeriesFlags flag_series(const SeriesParameters& parameters, std::span<const double> times,
                        std::span<const double> values) {
    const std::size_t n = values.size();
    SeriesFlags out;
    for (auto* flags :
         {&out.gross_range, &out.spike, &out.rate_of_change, &out.flat_line, &out.aggregate}) {
        flags->assign(n, Flag::not_evaluated);
    }
    LiveSeries live(parameters);
    for (std::size_t i = 0; i < n; ++i) {
        const auto got = live.append(times[i], values[i]);
        if (!got) {
            // A time out of order, which callers refuse first: left unflagged, not a crash.
            out.aggregate[i] = std::isfinite(values[i]) ? Flag::not_evaluated : Flag::missing;
            continue;
        }
        put(out, i, got->flags);
        if (got->revised) {
            put(out, *got->revised, got->revised_flags);
        }
    }
    return out;
}

}  // namespace kelpira::quality
