// One series flagged as its records arrive: each record's flags on arrival and the earlier
// record each one decides, written out by hand for the aggregate worked example; then the
// flags after every revision against the tests' plain account over a long series.
#include "quality/live_series.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

#include "quality/reference_flags.hpp"

namespace kelpira::quality {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kHour = 3600;

std::vector<int> ints(const RecordFlags& flags) {
    return {flag_value(flags[0]), flag_value(flags[1]), flag_value(flags[2]), flag_value(flags[3]),
            flag_value(flags[4])};
}

TEST(LiveSeries, TheNewestSpikeFlagStaysTwoUntilTheNextUsableRecordDecidesIt) {
    SeriesParameters p;
    p.max_gap_s = 3 * kHour;
    p.gross_range = GrossRangeTest{{-0.5, 60}, Span{0, 40}};
    p.spike = SpikeTest{1.0, 2.0};
    p.rate_of_change = RateOfChangeTest{3, 90000, 0.5, 3};
    p.flat_line = FlatLineTest{3, 5, 0.005, std::nullopt};
    struct Step {
        double x;
        std::vector<int> on_arrival;  // gross, spike, rate, flat, aggregate
        int revised;                  // -1: none
        std::vector<int> revised_flags;
    };
    const std::vector<Step> steps{
        {12.0, {1, 2, 2, 2, 1}, -1, {}},
        {12.5, {1, 2, 2, 1, 1}, -1, {}},  // the first record has no previous one: stays 2
        {12.25, {1, 2, 2, 1, 1}, 1, {1, 1, 2, 1, 1}},
        {14.5, {1, 2, 3, 1, 3}, 2, {1, 3, 2, 1, 3}},
        {12.5, {1, 2, 1, 1, 1}, 3, {1, 4, 3, 1, 4}},
        {kNaN, {9, 9, 9, 9, 9}, -1, {}},  // no neighbour: 12.5 waits for the next value
        {12.75, {1, 2, 1, 1, 1}, 4, {1, 3, 1, 1, 3}},
        {12.5, {1, 2, 1, 1, 1}, 6, {1, 1, 1, 1, 1}},
        {12.5, {1, 2, 1, 1, 1}, 7, {1, 1, 1, 1, 1}},
        {12.5, {1, 2, 1, 3, 3}, 8, {1, 1, 1, 1, 1}},
        {12.5, {1, 2, 1, 3, 3}, 9, {1, 1, 1, 3, 3}},
    };
    LiveSeries series(p);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        const auto got = series.append(static_cast<double>(i) * kHour, steps[i].x);
        ASSERT_TRUE(got);
        EXPECT_EQ(ints(got->flags), steps[i].on_arrival);
        if (steps[i].revised < 0) {
            EXPECT_FALSE(got->revised);
        } else {
            ASSERT_TRUE(got->revised);
            EXPECT_EQ(*got->revised, static_cast<std::size_t>(steps[i].revised));
            EXPECT_EQ(ints(got->revised_flags), steps[i].revised_flags);
        }
    }
    // A time that does not increase is refused and changes nothing.
    EXPECT_FALSE(series.append(10 * kHour, 30.0));
    EXPECT_FALSE(series.append(kNaN, 30.0));
    EXPECT_EQ(series.size(), 11U);
}

// Past the point where the records no test looks at are dropped, the flags after every
// revision are still those of the tests' plain account, which looks at the whole series.
TEST(LiveSeries, ALongSeriesEndsWithTheFlagsOfThePlainAccount) {
    SeriesParameters p;
    p.max_gap_s = 2.5 * kHour;
    p.gross_range = GrossRangeTest{{0, 20}, Span{2, 18}};
    p.spike = SpikeTest{1.0, 2.0};
    p.rate_of_change = RateOfChangeTest{2, 6 * kHour, 0.2, 3};
    p.flat_line = FlatLineTest{3, 5, 0.001, 1.0};
    std::mt19937 random(36);
    std::uniform_real_distribution<double> level(0, 1);
    std::vector<double> t, x;
    double time = 0;
    for (int i = 0; i < 30000; ++i) {
        time += level(random) < 0.05 ? 4 * kHour : kHour;  // some gaps past max_gap_s
        const double u = level(random);
        t.push_back(time);
        x.push_back(u < 0.03                                           ? kNaN
                    : u < 0.05                                         ? 25.0      // fails the span
                    : u < 0.3 && !x.empty() && std::isfinite(x.back()) ? x.back()  // repeats
                                                                       : 10 + 3 * level(random));
    }
    std::vector<RecordFlags> live;
    LiveSeries series(p);
    for (std::size_t i = 0; i < t.size(); ++i) {
        const auto got = series.append(t[i], x[i]);
        ASSERT_TRUE(got);
        live.push_back(got->flags);
        if (got->revised) {
            live[*got->revised] = got->revised_flags;
        }
    }
    const auto batch = reference::flag_series(p, t, x);
    for (std::size_t i = 0; i < t.size(); ++i) {
        ASSERT_EQ(
            ints(live[i]),
            (std::vector<int>{flag_value(batch.gross_range[i]), flag_value(batch.spike[i]),
                              flag_value(batch.rate_of_change[i]), flag_value(batch.flat_line[i]),
                              flag_value(batch.aggregate[i])}))
            << "record " << i;
    }
}

}  // namespace
}  // namespace kelpira::quality
