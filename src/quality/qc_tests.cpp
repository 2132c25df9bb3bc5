// The four tests and the aggregate, each one pass over the series.
#include "quality/qc_tests.hpp"

#include <cmath>

#include "quality/window_stats.hpp"

namespace kelpira::quality {

namespace {

// Flags of the records the test does not look at: 9 where missing, 2 for a value that failed
// the sensor span.
std::vector<Flag> unusable_flags(std::span<const double> values) {
    std::vector<Flag> flags(values.size(), Flag::not_evaluated);
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!std::isfinite(values[i])) {
            flags[i] = Flag::missing;
        }
    }
    return flags;
}

// True when two usable records `gap` seconds apart are neighbours.
bool within(std::optional<double> max_gap_s, double gap) {
    return !max_gap_s || gap <= *max_gap_s;
}

int severity(Flag f) {
    switch (f) {
        case Flag::fail:
            return 3;
        case Flag::suspect:
            return 2;
        case Flag::pass:
            return 1;
        case Flag::not_evaluated:
        case Flag::missing:
            break;
    }
    return 0;
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

std::vector<Flag> gross_range_flags(const std::optional<GrossRangeTest>& test,
                                    std::span<const double> values) {
    std::vector<Flag> flags(values.size(), Flag::not_evaluated);
    if (!test) {
        return flags;
    }
    const auto outside = [](const Span& s, double x) { return x < s.min || x > s.max; };
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double x = values[i];
        if (!std::isfinite(x)) {
            flags[i] = Flag::missing;
        } else if (outside(test->sensor_span, x)) {
            flags[i] = Flag::fail;
        } else if (test->user_span && outside(*test->user_span, x)) {
            flags[i] = Flag::suspect;
        } else {
            flags[i] = Flag::pass;
        }
    }
    return flags;
}

UsableRecords usable_records(std::span<const double> times, std::span<const double> values,
                             std::span<const Flag> gross_range) {
    UsableRecords usable;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (std::isfinite(values[i]) && gross_range[i] != Flag::fail) {
            usable.index.push_back(i);
            usable.time.push_back(times[i]);
            usable.value.push_back(values[i]);
        }
    }
    return usable;
}

std::vector<Flag> spike_flags(const SpikeTest& test, std::optional<double> max_gap_s,
                              std::span<const double> values, const UsableRecords& usable) {
    auto flags = unusable_flags(values);
    const auto& t = usable.time;
    const auto& x = usable.value;
    for (std::size_t k = 0; k < t.size(); ++k) {
        auto& flag = flags[usable.index[k]];
        if (k == 0 || k + 1 == t.size() || !within(max_gap_s, t[k] - t[k - 1]) ||
            !within(max_gap_s, t[k + 1] - t[k])) {
            continue;  // stays 2
        }
        const double ref =
            x[k - 1] + (x[k + 1] - x[k - 1]) * (t[k] - t[k - 1]) / (t[k + 1] - t[k - 1]);
        const double s = std::fabs(x[k] - ref);
        flag = exceeds(s, test.fail_threshold)      ? Flag::fail
               : exceeds(s, test.suspect_threshold) ? Flag::suspect
                                                    : Flag::pass;
    }
    return flags;
}

std::vector<Flag> rate_of_change_flags(const RateOfChangeTest& test,
                                       std::optional<double> max_gap_s,
                                       std::span<const double> values,
                                       const UsableRecords& usable) {
    auto flags = unusable_flags(values);
    const auto& t = usable.time;
    const std::span<const double> x = usable.value;
    WindowStats window;
    std::size_t first = 0;  // the oldest value in the window; the window ends before k
    for (std::size_t k = 0; k < t.size(); ++k) {
        while (first < k && t[first] < t[k] - test.tim_dev_s) {
            window.remove(x[first]);
            ++first;
        }
        window.settle(x.subspan(first, k - first));
        auto& flag = flags[usable.index[k]];
        if (k > 0 && within(max_gap_s, t[k] - t[k - 1]) &&
            window.count() >= static_cast<std::size_t>(test.min_count)) {
            const double threshold = test.floor + test.n_dev * window.sd();
            flag = exceeds(std::fabs(x[k] - x[k - 1]), threshold) ? Flag::suspect : Flag::pass;
        }
        window.add(x[k]);
    }
    return flags;
}

std::vector<Flag> flat_line_flags(const FlatLineTest& test, std::optional<double> max_gap_s,
                                  std::span<const double> values, const UsableRecords& usable) {
    auto flags = unusable_flags(values);
    const auto& t = usable.time;
    const auto& x = usable.value;
    // The walk stops at fail_run, so each record costs at most fail_run steps.
    for (std::size_t k = 0; k < t.size(); ++k) {
        auto& flag = flags[usable.index[k]];
        if (test.skip_at_or_below && x[k] <= *test.skip_at_or_below) {
            continue;  // stays 2
        }
        int run = 1;
        bool differs = false;
        for (std::size_t j = k; j > 0 && run < test.fail_run; --j) {
            if (!within(max_gap_s, t[j] - t[j - 1])) {
                break;
            }
            if (exceeds(std::fabs(x[k] - x[j - 1]), test.eps)) {
                differs = true;
                break;
            }
            ++run;
        }
        if (run >= test.fail_run) {
            flag = Flag::fail;
        } else if (run >= test.suspect_run) {
            flag = Flag::suspect;
        } else if (differs) {
            flag = Flag::pass;
        }
    }
    return flags;
}

std::vector<Flag> aggregate_flags(std::span<const double> values, const SeriesFlags& flags) {
    std::vector<Flag> aggregate(values.size(), Flag::not_evaluated);
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!std::isfinite(values[i])) {
            aggregate[i] = Flag::missing;
            continue;
        }
        for (const auto* test :
             {&flags.gross_range, &flags.spike, &flags.rate_of_change, &flags.flat_line}) {
            if (severity((*test)[i]) > severity(aggregate[i])) {
                aggregate[i] = (*test)[i];
            }
        }
    }
    return aggregate;
}

SeriesFlags flag_series(const SeriesParameters& parameters, std::span<const double> times,
                        std::span<const double> values) {
    SeriesFlags flags;
    flags.gross_range = gross_range_flags(parameters.gross_range, values);
    const auto usable = usable_records(times, values, flags.gross_range);
    const auto gap = parameters.max_gap_s;
    const std::vector<Flag> not_run(values.size(), Flag::not_evaluated);
    flags.spike = parameters.spike ? spike_flags(*parameters.spike, gap, values, usable) : not_run;
    flags.rate_of_change =
        parameters.rate_of_change
            ? rate_of_change_flags(*parameters.rate_of_change, gap, values, usable)
            : not_run;
    flags.flat_line = parameters.flat_line
                          ? flat_line_flags(*parameters.flat_line, gap, values, usable)
                          : not_run;
    flags.aggregate = aggregate_flags(values, flags);
    return flags;
}

}  // namespace kelpira::quality
