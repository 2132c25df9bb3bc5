// The quality flags every processed result carries, and the one comparison of a statistic with
// a threshold that every test shares.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
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

// The title of the aggregate flag's column in the result lists.
inline constexpr std::string_view kFlagColumnTitle = "QC Flag";

// Of two aggregates of one result (one per series it reports), the one its list shows: the
// more severe in the order 4, 3, 1, 2, 9.
inline Flag shown_of(Flag a, Flag b) {
    constexpr auto rank = [](Flag f) {
        switch (f) {
            case Flag::fail:
                return 4;
            case Flag::suspect:
                return 3;
            case Flag::pass:
                return 2;
            case Flag::not_evaluated:
                return 1;
            case Flag::missing:
                break;
        }
        return 0;
    };
    return rank(b) > rank(a) ? b : a;
}

// The colour a flag is drawn in, as 0xRRGGBB: amber for suspect, red for fail; none for the
// others.
inline std::optional<std::uint32_t> flag_colour(Flag f) {
    if (f == Flag::suspect) {
        return 0xFFBF00;
    }
    if (f == Flag::fail) {
        return 0xFF0000;
    }
    return std::nullopt;
}

}  // namespace kelpira::quality
