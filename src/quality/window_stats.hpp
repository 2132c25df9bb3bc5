// The sample standard deviation of a sliding window of values, updated as values enter and
// leave it rather than recomputed for every record.
//
// Kept stable three ways: the sums are of each value minus a shift taken from inside the
// window (so a level of 1000 with a spread of 0.01 does not cancel away the spread); they are
// compensated (Neumaier) sums, so adding and removing a million values leaves an error of a
// few ulps rather than one that grows with the count; and they are rebuilt from the window's
// values, with a new shift, once as many values have left as the window holds, which costs
// O(1) per value on average and keeps the shift near the values as their level wanders.
#pragma once

#include <cstddef>
#include <span>

namespace kelpira::quality {

class WindowStats {
  public:
    void add(double x);
    void remove(double x);
    // Rebuilds the sums from `window`, the values now in it, when enough have left since the
    // last rebuild; `window` must hold the values added and not removed.
    void settle(std::span<const double> window);

    std::size_t count() const { return count_; }
    // The sample standard deviation (n - 1); needs two values or more.
    double sd() const;

  private:
    struct Sum {
        double sum = 0;
        double compensation = 0;
        void add(double v);
        double value() const { return sum + compensation; }
    };
    void rebuild(std::span<const double> window);

    double shift_ = 0;
    std::size_t count_ = 0;
    std::size_t removed_ = 0;  // since the last rebuild
    Sum s1_;                   // of x - shift
    Sum s2_;                   // of (x - shift)^2
};

}  // namespace kelpira::quality
