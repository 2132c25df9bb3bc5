// The quality tests against the worked examples of their definition and a table of edge
// cases, each expected flag written out by hand; then the real-time property on random series.
#include "quality/qc_tests.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace kelpira::quality {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kHour = 3600;

std::vector<double> hourly(std::size_t n) {
    std::vector<double> t(n);
    for (std::size_t i = 0; i < n; ++i) {
        t[i] = static_cast<double>(i) * kHour;
    }
    return t;
}

std::vector<int> ints(const std::vector<Flag>& flags) {
    std::vector<int> v;
    for (const Flag f : flags) {
        v.push_back(flag_value(f));
    }
    return v;
}

using Flags = std::vector<int>;

TEST(QcWorkedExamples, AAggregateOfNitrate) {
    SeriesParameters p;
    p.max_gap_s = 3 * kHour;
    p.gross_range = GrossRangeTest{{-0.5, 60}, Span{0, 40}};
    p.spike = SpikeTest{1.0, 2.0};
    p.rate_of_change = RateOfChangeTest{3, 90000, 0.5, 3};
    p.flat_line = FlatLineTest{3, 5, 0.005, std::nullopt};
    const std::vector<double> x{12.0, 12.5, 12.25, 14.5, 12.5, kNaN, 12.75, 12.5, 12.5, 12.5, 12.5};
    const auto f = flag_series(p, hourly(x.size()), x);
    EXPECT_EQ(ints(f.gross_range), (Flags{1, 1, 1, 1, 1, 9, 1, 1, 1, 1, 1}));
    EXPECT_EQ(ints(f.spike), (Flags{2, 1, 3, 4, 3, 9, 1, 1, 1, 1, 2}));
    EXPECT_EQ(ints(f.rate_of_change), (Flags{2, 2, 2, 3, 1, 9, 1, 1, 1, 1, 1}));
    EXPECT_EQ(ints(f.flat_line), (Flags{2, 1, 1, 1, 1, 9, 1, 1, 1, 3, 3}));
    EXPECT_EQ(ints(f.aggregate), (Flags{1, 1, 3, 4, 3, 9, 1, 1, 1, 3, 3}));
}

TEST(QcWorkedExamples, BIrregularRampIsNoSpike) {
    const std::vector<double> t{0, 30 * 60, 210 * 60, 240 * 60, 420 * 60};
    const std::vector<double> x{0, 0.5, 3.5, 4.0, 7.0};
    SeriesParameters p;
    p.spike = SpikeTest{0.5, 1.0};
    EXPECT_EQ(ints(flag_series(p, t, x).spike), (Flags{2, 1, 1, 1, 2}));
    p.max_gap_s = 3 * kHour;  // the 3 h gap exactly: still neighbours
    EXPECT_EQ(ints(flag_series(p, t, x).spike), (Flags{2, 1, 1, 1, 2}));
}

TEST(QcWorkedExamples, CSpikeBesideMissingValue) {
    SeriesParameters p;
    p.max_gap_s = 3 * kHour;
    p.spike = SpikeTest{0.5, 1.0};
    const std::vector<double> x{5, 5, kNaN, 7, 5, 5, 5};
    EXPECT_EQ(ints(flag_series(p, hourly(x.size()), x).spike), (Flags{2, 3, 9, 4, 3, 1, 2}));
}

TEST(QcWorkedExamples, DFlatLineCountsTheCurrentValue) {
    SeriesParameters p;
    p.flat_line = FlatLineTest{3, 5, 0, std::nullopt};
    const std::vector<double> x{2.0, 2.0, 2.0, 2.0, 2.0, 2.0, 2.5, 2.5};
    EXPECT_EQ(ints(flag_series(p, hourly(x.size()), x).flat_line), (Flags{2, 2, 3, 3, 4, 4, 1, 1}));
}

// Which test a case reads.
enum class Column { gross, spike, rate, flat, aggregate };

struct EdgeCase {
    const char* what;
    SeriesParameters parameters;
    std::vector<double> times;  // empty: hourly
    std::vector<double> values;
    Column column;
    Flags expected;
};

SeriesParameters gross(Span sensor, std::optional<Span> user) {
    SeriesParameters p;
    p.gross_range = GrossRangeTest{sensor, user};
    return p;
}

SeriesParameters spike(double suspect, double fail, std::optional<double> max_gap) {
    SeriesParameters p;
    p.max_gap_s = max_gap;
    p.spike = SpikeTest{suspect, fail};
    return p;
}

SeriesParameters rate(RateOfChangeTest test, std::optional<double> max_gap) {
    SeriesParameters p;
    p.max_gap_s = max_gap;
    p.rate_of_change = test;
    return p;
}

SeriesParameters flat(FlatLineTest test, std::optional<double> max_gap) {
    SeriesParameters p;
    p.max_gap_s = max_gap;
    p.flat_line = test;
    return p;
}

TEST(QcEdgeCases, Table) {
    const double inf = std::numeric_limits<double>::infinity();
    SeriesParameters flat_with_span = flat({3, 5, 0, std::nullopt}, std::nullopt);
    flat_with_span.gross_range = GrossRangeTest{{0, 60}, std::nullopt};
    SeriesParameters spike_with_span = spike(1, 2, std::nullopt);
    spike_with_span.gross_range = GrossRangeTest{{0, 60}, std::nullopt};
    const EdgeCase cases[] = {
        {"bounds inclusive, outside user span suspect, outside sensor span fail",
         gross({0, 10}, Span{2, 8}),
         {},
         {0, 10, 2, 8, -0.0001, 10.0001, 1.999, 8.001},
         Column::gross,
         {3, 3, 1, 1, 4, 4, 3, 3}},
        {"NaN and infinities are missing",
         gross({0, 10}, std::nullopt),
         {},
         {kNaN, inf, -inf, 5},
         Column::aggregate,
         {9, 9, 9, 1}},
        {"a test that is not run gives 2, missing values included",
         SeriesParameters{},
         {},
         {1, kNaN, 3},
         Column::spike,
         {2, 2, 2}},
        {"spike at the suspect threshold passes",
         spike(1, 2, std::nullopt),
         {},
         {0, 1, 0},
         Column::spike,
         {2, 1, 2}},
        {"spike at the fail threshold is suspect",
         spike(1, 2, std::nullopt),
         {},
         {0, 2, 0},
         Column::spike,
         {2, 3, 2}},
        {"spike of 0.3 up to binary rounding does not exceed 0.3",
         spike(0.3, 1, std::nullopt),
         {},
         {0.1, 0.4, 0.1},
         Column::spike,
         {2, 1, 2}},
        {"spike with a neighbour at max_gap_s exactly",
         spike(1, 2, kHour),
         {},
         {0, 5, 0},
         Column::spike,
         {2, 4, 2}},
        {"spike with a neighbour a second past max_gap_s",
         spike(1, 2, kHour),
         {0, kHour, 2 * kHour + 1},
         {0, 5, 0},
         Column::spike,
         {2, 2, 2}},
        {"a value that fails the sensor span is no spike neighbour",
         spike_with_span,
         {},
         {5, 5, 99, 5, 8, 5},
         Column::spike,
         {2, 1, 2, 3, 4, 2}},
        {"rate: NaN in the window is skipped",
         rate({3, 90000, 0, 3}, 2 * kHour),
         {},
         {1, 2, kNaN, 1, 2, 9},
         Column::rate,
         {2, 2, 9, 2, 1, 3}},
        {"rate: a change equal to the floor over a constant window passes",
         rate({3, 90000, 0.5, 3}, std::nullopt),
         {},
         {5, 5, 5, 5.5},
         Column::rate,
         {2, 2, 2, 1}},
        {"rate: a change past the floor is suspect",
         rate({3, 90000, 0.5, 3}, std::nullopt),
         {},
         {5, 5, 5, 5.6},
         Column::rate,
         {2, 2, 2, 3}},
        {"rate: the window includes t - tim_dev_s",
         rate({3, 3 * kHour, 0, 3}, std::nullopt),
         {},
         {5, 5, 5, 6},
         Column::rate,
         {2, 2, 2, 3}},
        {"rate: a second shorter window holds too few",
         rate({3, 3 * kHour - 1, 0, 3}, std::nullopt),
         {},
         {5, 5, 5, 6},
         Column::rate,
         {2, 2, 2, 2}},
        {"rate: previous value past max_gap_s",
         rate({3, 90000, 0, 3}, kHour),
         {0, kHour, 2 * kHour, 3 * kHour + 1},
         {5, 5, 5, 6},
         Column::rate,
         {2, 2, 2, 2}},
        {"flat: a difference of eps is a repeat",
         flat({3, 5, 0.005, std::nullopt}, std::nullopt),
         {},
         {2.005, 2.0, 2.0},
         Column::flat,
         {2, 2, 3}},
        {"flat: at or below the detection limit not tested",
         flat({3, 5, 0, 0.1}, std::nullopt),
         {},
         {0.1, 0.1, 0.1, 0.2, 0.2, 0.2},
         Column::flat,
         {2, 2, 2, 1, 1, 3}},
        {"flat: the walk stops at a gap past max_gap_s",
         flat({3, 5, 0, std::nullopt}, 3 * kHour),
         {0, kHour, 2 * kHour, 6 * kHour},
         {7, 7, 7, 7},
         Column::flat,
         {2, 2, 3, 2}},
        {"flat: a gap of max_gap_s exactly does not stop it",
         flat({3, 5, 0, std::nullopt}, 3 * kHour),
         {0, kHour, 2 * kHour, 5 * kHour},
         {7, 7, 7, 7},
         Column::flat,
         {2, 2, 3, 3}},
        {"flat: a value that fails the sensor span does not break a run",
         flat_with_span,
         {},
         {7, 7, 99, 7},
         Column::flat,
         {2, 2, 2, 3}},
    };
    for (const auto& c : cases) {
        const auto times = c.times.empty() ? hourly(c.values.size()) : c.times;
        const auto f = flag_series(c.parameters, times, c.values);
        const std::vector<Flag>* column[] = {&f.gross_range, &f.spike, &f.rate_of_change,
                                             &f.flat_line, &f.aggregate};
        EXPECT_EQ(ints(*column[static_cast<int>(c.column)]), c.expected) << c.what;
    }
}

TEST(QcTimes, FirstOutOfOrder) {
    EXPECT_EQ(first_time_out_of_order(std::vector<double>{0, 1, 2}), std::nullopt);
    EXPECT_EQ(first_time_out_of_order(std::vector<double>{0, 1, 1}), 2u);
    EXPECT_EQ(first_time_out_of_order(std::vector<double>{0, 2, 1}), 2u);
    EXPECT_EQ(first_time_out_of_order(std::vector<double>{kNaN, 1}), 0u);
    // A caller that did not refuse them gets the records out of order unflagged, not a crash.
    SeriesParameters p;
    p.gross_range = GrossRangeTest{{0, 40}, std::nullopt};
    const auto f =
        flag_series(p, std::vector<double>{0, 2, 1, 3}, std::vector<double>{1, 2, kNaN, 4});
    EXPECT_EQ(ints(f.gross_range), (Flags{1, 1, 2, 1}));
    EXPECT_EQ(ints(f.aggregate), (Flags{1, 1, 9, 1}));
}

// Flags computed as records arrive equal those of the whole series, but for the spike flag
// and the aggregate of the prefix's last usable record.
TEST(QcRealTime, PrefixFlagsStand) {
    SeriesParameters p;
    p.max_gap_s = 3 * kHour;
    p.gross_range = GrossRangeTest{{0, 20}, Span{1, 15}};
    p.spike = SpikeTest{0.5, 1.0};
    p.rate_of_change = RateOfChangeTest{2, 6 * kHour, 0.1, 3};
    p.flat_line = FlatLineTest{3, 5, 0.01, 0.5};
    std::mt19937 random(20261209);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int series = 0; series < 40; ++series) {
        std::vector<double> t;
        std::vector<double> x;
        double now = 0;
        for (int i = 0; i < 60; ++i) {
            now += unit(random) < 0.1 ? 4 * kHour : 1 + std::floor(unit(random) * 2 * kHour);
            t.push_back(now);
            const double u = unit(random);
            const double level = std::round(unit(random) * 3 * 100) / 100 + 5;
            x.push_back(u < 0.1                                            ? kNaN
                        : u < 0.15                                         ? 30
                        : u < 0.5 && !x.empty() && std::isfinite(x.back()) ? x.back()
                                                                           : level);
        }
        const auto whole = flag_series(p, t, x);
        for (std::size_t n = 1; n < t.size(); ++n) {
            const auto part = flag_series(p, std::span(t).first(n), std::span(x).first(n));
            std::optional<std::size_t> last_usable;
            for (std::size_t i = 0; i < n; ++i) {
                if (std::isfinite(x[i]) && x[i] <= 20) {
                    last_usable = i;
                }
            }
            for (std::size_t i = 0; i < n; ++i) {
                const bool may_change = i == last_usable;
                EXPECT_EQ(part.gross_range[i], whole.gross_range[i]);
                EXPECT_EQ(part.rate_of_change[i], whole.rate_of_change[i]);
                EXPECT_EQ(part.flat_line[i], whole.flat_line[i]);
                if (may_change) {
                    EXPECT_EQ(part.spike[i], Flag::not_evaluated);
                } else {
                    EXPECT_EQ(part.spike[i], whole.spike[i]) << series << " " << n << " " << i;
                    EXPECT_EQ(part.aggregate[i], whole.aggregate[i]);
                }
            }
        }
    }
}

}  // namespace
}  // namespace kelpira::quality
