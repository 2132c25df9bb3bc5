// The quality flags every processed result carries, and the one comparison of a statistic with
// a threshold that every test shares.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace kelpira::quality {

// The values written to files: the CF flag_values of every flag variable.
enum class Flag : std::uint8_t { pass = 1, not_evaluated = 2, suspect = 3, fail = 4, missing = 9 };

inline constexpr std::array<Flag, 5> kFlagValues{Flag::pass, Flag::not_evaluated, Flag::suspect,
                                                 Flag::fail, Flag::missing};
inline constexpr std::string_view kFlagMeanings = "pass not_evaluated suspect fail missing";

inline constexpr int flag_value(Flag f) {
    return static_cast<int>(f);
}

// True when `statistic` exceeds `threshold` (>= 0): a statistic at the threshold up to the
// binary rounding of decimal values (a relative 1e-9) does not.
inline bool exceeds(double statistic, double threshold) {
    return statistic > threshold + 1e-9 * std::fabs(threshold);
}

}  // namespace kelpira::quality
