// The sliding window's sums: shifted, compensated and rebuilt as the window turns over.
#include "quality/window_stats.hpp"

#include <algorithm>
#include <cmath>

namespace kelpira::quality {

void WindowStats::Sum::add(double v) {
    const double t = sum + v;
    compensation += std::fabs(sum) >= std::fabs(v) ? (sum - t) + v : (v - t) + sum;
    sum = t;
}

void WindowStats::add(double x) {
    if (count_ == 0) {
        rebuild({});
        shift_ = x;
    }
    const double d = x - shift_;
    s1_.add(d);
    s2_.add(d * d);
    ++count_;
}

void WindowStats::remove(double x) {
    const double d = x - shift_;
    s1_.add(-d);
    s2_.add(-(d * d));
    --count_;
    ++removed_;
}

void WindowStats::settle(std::span<const double> window) {
    if (removed_ > 0 && removed_ >= window.size()) {
        rebuild(window);
    }
}

void WindowStats::rebuild(std::span<const double> window) {
    s1_ = {};
    s2_ = {};
    removed_ = 0;
    count_ = window.size();
    if (window.empty()) {
        return;
    }
    shift_ = window.front();
    for (const double x : window) {
        const double d = x - shift_;
        s1_.add(d);
        s2_.add(d * d);
    }
}

double WindowStats::sd() const {
    const auto n = static_cast<double>(count_);
    const double s1 = s1_.value();
    const double variance = (s2_.value() - s1 * (s1 / n)) / (n - 1);
    return std::sqrt(std::max(variance, 0.0));
}

}  // namespace kelpira::quality
