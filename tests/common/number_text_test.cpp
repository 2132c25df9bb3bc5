// Fixed-decimal texts are byte for byte the text printf's "%.*f" writes.
#include "common/number_text.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

namespace kelpira::common {
namespace {

std::string printf_text(double value, int decimals) {
    char text[400];
    const int n = std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return std::string(text, static_cast<std::size_t>(n));
}

// Readings of every size, exact binary ties at the last decimal (k + 1/2 units, such as
// 0.125 at two decimals), decimal near-ties that are not exact, and any bit pattern.
double random_value(std::mt19937_64& rng, int decimals) {
    const double unit = std::pow(10.0, -decimals);
    switch (rng() % 5) {
        case 0:
            return std::ldexp(static_cast<double>(rng() >> 11), -53) * 1000.0 - 500.0;
        case 1:
            return std::ldexp(static_cast<double>(rng() % 4096) * 2 + 1,
                              -static_cast<int>(rng() % 12 + 1));
        case 2:
            return (static_cast<double>(rng() % 2'000'000) + 0.5) * unit -
                   static_cast<double>(rng() % 2) * 1000.0;
        case 3: {
            double any = 0;
            const std::uint64_t bits = rng();
            std::memcpy(&any, &bits, sizeof any);
            return any;
        }
        default:
            return std::ldexp(static_cast<double>(rng() >> 11),
                              static_cast<int>(rng() % 200) - 150);
    }
}

TEST(FixedText, SameTextAsPrintf) {
    for (const double special :
         {0.0, -0.0, 0.125, -0.125, 2.5, 0.0005, -0.0005, 1e300, -1e-300,
          std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min(),
          std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN()}) {
        for (const int decimals : {2, 3, 4, 6}) {
            EXPECT_EQ(fixed_text(special, decimals), printf_text(special, decimals))
                << special << " to " << decimals;
        }
    }
    std::mt19937_64 rng(1209);
    for (const int decimals : {2, 3, 4, 6}) {
        for (int i = 0; i < 1'000'000; ++i) {
            const double v = random_value(rng, decimals);
            ASSERT_EQ(fixed_text(v, decimals), printf_text(v, decimals))
                << std::hexfloat << v << " to " << decimals;
        }
    }
}

// A field shows the fixed text while it fits and says something true; otherwise the value
// in scientific notation, never a tail or a zero.
TEST(FieldText, FixedWhileItFitsScientificOtherwise) {
    const struct {
        double value;
        int decimals;
        const char* text;
    } cases[] = {
        {0.00112, 5, "0.00112"},
        {-12345678.12345, 5, "-1.23457e+07"},   // 15 characters: past the field
        {-1234567.12345, 5, "-1234567.12345"},  // 14: fits
        {-3.4028234663852886e38, 5, "-3.40282e+38"},
        {484516925440.0, 3, "4.845e+11"},
        {1e-7, 5, "1.00000e-07"},
        {-1e-7, 5, "-1.00000e-07"},
        {0.000004, 5, "4.00000e-06"},  // rounds to 0.00000
        {0.000005, 5, "0.00001"},      // rounds up: shown true
        {0.0, 5, "0.00000"},
        {-0.0, 5, "-0.00000"},  // a zero is shown as one, sign and all
        {12.5, 2, "12.50"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(field_text(c.value, c.decimals), c.text) << c.value;
    }
}

// A figure the user gave, as they would write it: never with an exponent.
TEST(PlainText, ShortestDecimalWithoutExponent) {
    EXPECT_EQ(plain_text(90), "90");
    EXPECT_EQ(plain_text(30.5), "30.5");
    EXPECT_EQ(plain_text(0.125), "0.125");
    EXPECT_EQ(plain_text(0.1), "0.1");
    EXPECT_EQ(plain_text(1e9), "1000000000") << "never 1e+09";
    EXPECT_EQ(plain_text(2.5e-5), "0.000025");
}

}  // namespace
}  // namespace kelpira::common
