// The four tests and the aggregate as the definitions word them, one plain pass each over the
// whole series (the rate-of-change window summed afresh for every record): an account of its
// own that the incremental flagger is checked against on series too long to work out by hand.
#pragma once

#include <cmath>
#include <optional>
#include <span>
#include <vector>

#include "quality/qc_parameters.hpp"
#include "quality/quality_flag.hpp"

namespace kelpira::quality::reference {

struct Flags {
    std::vector<Flag> gross_range, spike, rate_of_change, flat_line, aggregate;
};

inline bool within(std::optional<double> max_gap_s, double gap) {
    return !max_gap_s || gap <= *max_gap_s;
}

inline int severity(Flag f) {
    return f == Flag::fail ? 3 : f == Flag::suspect ? 2 : f == Flag::pass ? 1 : 0;
}

inline Flags flag_series(const SeriesParameters& p, std::span<const double> times,
                         std::span<const double> values) {
    const std::size_t n = values.size();
    Flags f;
    f.gross_range.assign(n, Flag::not_evaluated);
    const auto outside = [](const Span& s, double x) { return x < s.min || x > s.max; };
    std::vector<std::size_t> usable;  // finite values inside the sensor span
    for (std::size_t i = 0; i < n; ++i) {
        const double x = values[i];
        if (p.gross_range) {
            f.gross_range[i] = !std::isfinite(x)                        ? Flag::missing
                               : outside(p.gross_range->sensor_span, x) ? Flag::fail
                               : p.gross_range->user_span && outside(*p.gross_range->user_span, x)
                                   ? Flag::suspect
                                   : Flag::pass;
        }
        if (std::isfinite(x) && f.gross_range[i] != Flag::fail) {
            usable.push_back(i);
        }
    }
    // A test that runs flags the records it does not look at 9 where missing, else 2.
    const auto unlooked = [&](bool runs) {
        std::vector<Flag> flags(n, Flag::not_evaluated);
        for (std::size_t i = 0; runs && i < n; ++i) {
            if (!std::isfinite(values[i])) {
                flags[i] = Flag::missing;
            }
        }
        return flags;
    };
    const auto t = [&](std::size_t k) { return times[usable[k]]; };
    const auto x = [&](std::size_t k) { return values[usable[k]]; };
    const auto gap = p.max_gap_s;

    f.spike = unlooked(p.spike.has_value());
    for (std::size_t k = 1; p.spike && k + 1 < usable.size(); ++k) {
        if (!within(gap, t(k) - t(k - 1)) || !within(gap, t(k + 1) - t(k))) {
            continue;
        }
        const double ref =
            x(k - 1) + (x(k + 1) - x(k - 1)) * (t(k) - t(k - 1)) / (t(k + 1) - t(k - 1));
        const double s = std::fabs(x(k) - ref);
        f.spike[usable[k]] = exceeds(s, p.spike->fail_threshold)      ? Flag::fail
                             : exceeds(s, p.spike->suspect_threshold) ? Flag::suspect
                                                                      : Flag::pass;
    }

    f.rate_of_change = unlooked(p.rate_of_change.has_value());
    for (std::size_t k = 1; p.rate_of_change && k < usable.size(); ++k) {
        const auto& r = *p.rate_of_change;
        std::vector<double> window;
        for (std::size_t j = 0; j < k; ++j) {
            if (t(j) >= t(k) - r.tim_dev_s) {
                window.push_back(x(j));
            }
        }
        if (!within(gap, t(k) - t(k - 1)) ||
            window.size() < static_cast<std::size_t>(r.min_count)) {
            continue;
        }
        double mean = 0;
        for (const double v : window) {
            mean += v / static_cast<double>(window.size());
        }
        double squares = 0;
        for (const double v : window) {
            squares += (v - mean) * (v - mean);
        }
        const double sd = std::sqrt(squares / static_cast<double>(window.size() - 1));
        f.rate_of_change[usable[k]] = exceeds(std::fabs(x(k) - x(k - 1)), r.floor + r.n_dev * sd)
                                          ? Flag::suspect
                                          : Flag::pass;
    }

    f.flat_line = unlooked(p.flat_line.has_value());
    for (std::size_t k = 0; p.flat_line && k < usable.size(); ++k) {
        const auto& fl = *p.flat_line;
        if (fl.skip_at_or_below && x(k) <= *fl.skip_at_or_below) {
            continue;
        }
        int run = 1;
        bool differs = false;
        for (std::size_t j = k; j > 0 && run < fl.fail_run; --j) {
            if (!within(gap, t(j) - t(j - 1))) {
                break;
            }
            if (exceeds(std::fabs(x(k) - x(j - 1)), fl.eps)) {
                differs = true;
                break;
            }
            ++run;
        }
        f.flat_line[usable[k]] = run >= fl.fail_run      ? Flag::fail
                                 : run >= fl.suspect_run ? Flag::suspect
                                 : differs               ? Flag::pass
                                                         : Flag::not_evaluated;
    }

    f.aggregate.assign(n, Flag::not_evaluated);
    for (std::size_t i = 0; i < n; ++i) {
        if (!std::isfinite(values[i])) {
            f.aggregate[i] = Flag::missing;
            continue;
        }
        for (const auto* test : {&f.gross_range, &f.spike, &f.rate_of_change, &f.flat_line}) {
            if (severity((*test)[i]) > severity(f.aggregate[i])) {
                f.aggregate[i] = (*test)[i];
            }
        }
    }
    return f;
}

}  // namespace kelpira::quality::reference
