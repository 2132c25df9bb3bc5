// One series flagged record by record: the usable records a test may still look back at,
// and the rate-of-change window's running sums.
#include "quality/live_series.hpp"

#include <algorithm>
#include <cmath>
#include <span>

namespace kelpira::quality {

namespace {

// Below this many records no longer needed, dropping them is not worth a move.
constexpr std::size_t kCompactAt = 4096;

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

Flag gross_range(const std::optional<GrossRangeTest>& test, double x) {
    if (!test) {
        return Flag::not_evaluated;
    }
    const auto outside = [x](const Span& s) { return x < s.min || x > s.max; };
    if (!std::isfinite(x)) {
        return Flag::missing;
    }
    if (outside(test->sensor_span)) {
        return Flag::fail;
    }
    return test->user_span && outside(*test->user_span) ? Flag::suspect : Flag::pass;
}

}  // namespace

Flag aggregate_of(double value, const RecordFlags& flags) {
    if (!std::isfinite(value)) {
        return Flag::missing;
    }
    Flag worst = Flag::not_evaluated;
    for (std::size_t t = 0; t < kAggregateFlag; ++t) {
        if (severity(flags[t]) > severity(worst)) {
            worst = flags[t];
        }
    }
    return worst;
}

LiveSeries::LiveSeries(const SeriesParameters& parameters) : parameters_(parameters) {}

std::optional<LiveFlags> LiveSeries::append(double time, double value) {
    if (!std::isfinite(time) || (last_time_ && !(time > *last_time_))) {
        return std::nullopt;
    }
    last_time_ = time;
    const std::size_t index = size_++;
    LiveFlags out;
    auto& f = out.flags;
    f[0] = gross_range(parameters_.gross_range, value);
    const bool usable = std::isfinite(value) && f[0] != Flag::fail;
    if (!usable) {
        // Not looked at by the other tests, and no neighbour of anyone.
        const Flag skipped = std::isfinite(value) ? Flag::not_evaluated : Flag::missing;
        f[1] = parameters_.spike ? skipped : Flag::not_evaluated;
        f[2] = parameters_.rate_of_change ? skipped : Flag::not_evaluated;
        f[3] = parameters_.flat_line ? skipped : Flag::not_evaluated;
        f[kAggregateFlag] = aggregate_of(value, f);
        return out;
    }
    if (!times_.empty()) {
        const Flag spike = spike_of_last(time, value);
        if (spike != last_flags_[1]) {
            last_flags_[1] = spike;
            last_flags_[kAggregateFlag] = aggregate_of(values_.back(), last_flags_);
            out.revised = last_index_;
            out.revised_flags = last_flags_;
        }
    }
    f[1] = Flag::not_evaluated;  // until the next usable record
    f[2] = parameters_.rate_of_change ? rate_of_change(time, value) : Flag::not_evaluated;
    f[3] = parameters_.flat_line ? flat_line(time, value) : Flag::not_evaluated;
    f[kAggregateFlag] = aggregate_of(value, f);
    times_.push_back(time);
    values_.push_back(value);
    if (parameters_.rate_of_change) {
        window_.add(value);
    }
    last_index_ = index;
    last_flags_ = f;
    compact();
    return out;
}

Flag LiveSeries::spike_of_last(double time, double value) const {
    const std::size_t n = times_.size();
    if (!parameters_.spike || n < 2) {
        return Flag::not_evaluated;
    }
    const double tp = times_[n - 2], tk = times_[n - 1];
    const double xp = values_[n - 2], xk = values_[n - 1];
    const auto gap = parameters_.max_gap_s;
    if (!within(gap, tk - tp) || !within(gap, time - tk)) {
        return Flag::not_evaluated;
    }
    const double ref = xp + (value - xp) * (tk - tp) / (time - tp);
    const double s = std::fabs(xk - ref);
    const auto& test = *parameters_.spike;
    return exceeds(s, test.fail_threshold)      ? Flag::fail
           : exceeds(s, test.suspect_threshold) ? Flag::suspect
                                                : Flag::pass;
}

Flag LiveSeries::rate_of_change(double time, double value) {
    const auto& test = *parameters_.rate_of_change;
    while (first_ < times_.size() && times_[first_] < time - test.tim_dev_s) {
        window_.remove(values_[first_]);
        ++first_;
    }
    window_.settle(std::span<const double>(values_).subspan(first_));
    if (times_.empty() || !within(parameters_.max_gap_s, time - times_.back()) ||
        window_.count() < static_cast<std::size_t>(test.min_count)) {
        return Flag::not_evaluated;
    }
    const double threshold = test.floor + test.n_dev * window_.sd();
    return exceeds(std::fabs(value - values_.back()), threshold) ? Flag::suspect : Flag::pass;
}

Flag LiveSeries::flat_line(double time, double value) const {
    const auto& test = *parameters_.flat_line;
    if (test.skip_at_or_below && value <= *test.skip_at_or_below) {
        return Flag::not_evaluated;
    }
    int run = 1;
    bool differs = false;
    double later = time;
    for (std::size_t j = times_.size(); j > 0 && run < test.fail_run; --j) {
        if (!within(parameters_.max_gap_s, later - times_[j - 1])) {
            break;
        }
        if (exceeds(std::fabs(value - values_[j - 1]), test.eps)) {
            differs = true;
            break;
        }
        later = times_[j - 1];
        ++run;
    }
    if (run >= test.fail_run) {
        return Flag::fail;
    }
    if (run >= test.suspect_run) {
        return Flag::suspect;
    }
    return differs ? Flag::pass : Flag::not_evaluated;
}

void LiveSeries::compact() {
    const std::size_t n = times_.size();
    const std::size_t keep = static_cast<std::size_t>(
        std::max(2, parameters_.flat_line ? parameters_.flat_line->fail_run : 0));
    const std::size_t drop =
        std::min(parameters_.rate_of_change ? first_ : n, n > keep ? n - keep : 0);
    if (drop < kCompactAt || drop < n / 2) {
        return;
    }
    const auto by = static_cast<std::ptrdiff_t>(drop);
    times_.erase(times_.begin(), times_.begin() + by);
    values_.erase(values_.begin(), values_.begin() + by);
    first_ -= std::min(first_, drop);
}

}  // namespace kelpira::quality
