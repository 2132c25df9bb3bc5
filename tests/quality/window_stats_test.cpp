// The sliding window's standard deviation stays exact where plain running sums lose it.
#include "quality/window_stats.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace kelpira::quality {
namespace {

// A level of a million with a spread of a thousandth, a million values through a window of
// three: plain sums of squares (about 3e12) keep no digit of a variance of 1e-6. The SD of
// {a, a + 0.001, a + 0.002} is 0.001 exactly; the values themselves carry 1.2e-10 of rounding.
TEST(WindowStats, HighLevelSmallSpreadOverAMillionValues) {
    std::vector<double> x;
    for (int i = 0; i < 1000000; ++i) {
        x.push_back(1e6 + (i % 3) * 0.001);
    }
    WindowStats w;
    std::size_t first = 0;
    for (std::size_t k = 0; k < x.size(); ++k) {
        if (k - first > 3) {
            w.remove(x[first++]);
        }
        w.settle(std::span(x).subspan(first, k - first));
        if (k >= 3) {
            ASSERT_NEAR(w.sd(), 0.001, 1e-9) << k;
        }
        w.add(x[k]);
    }
    EXPECT_EQ(w.count(), 4u);  // the last value added after the last check
}

TEST(WindowStats, SampleStandardDeviation) {
    WindowStats w;
    for (const double v : {12.0, 12.5, 12.25}) {
        w.add(v);
    }
    EXPECT_DOUBLE_EQ(w.sd(), 0.25);  // the worked example's window
    w.add(14.5);
    w.remove(12.0);
    w.remove(12.5);
    w.remove(12.25);
    w.add(14.5);
    EXPECT_DOUBLE_EQ(w.sd(), 0.0);
}

}  // namespace
}  // namespace kelpira::quality
