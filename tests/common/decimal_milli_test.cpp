// Typed decimals times 1000 on their text.
#include "common/decimal_milli.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace kelpira::common {
namespace {

TEST(DecimalMilli, PlainDecimalsAreExactWhereTheDoubleWouldRoundDown) {
    EXPECT_EQ(decimal_milli("1.001"), 1001.0);
    EXPECT_EQ(decimal_milli("12.3456"), 12345.0);
    EXPECT_EQ(decimal_milli("0.0005"), 0.0);
    EXPECT_EQ(decimal_milli("4.35"), 4350.0);
    EXPECT_EQ(decimal_milli("  .5xyz"), 500.0);
    EXPECT_EQ(decimal_milli("7."), 7000.0);
    EXPECT_EQ(decimal_milli("-2.0019"), -2001.0);
    EXPECT_EQ(decimal_milli("+3"), 3000.0);
}

TEST(DecimalMilli, OtherFormsGoThroughTheDoubleAndNoNumberIsZero) {
    EXPECT_EQ(decimal_milli("1.5e1"), 15000.0);
    EXPECT_EQ(decimal_milli("0x10"), 16000.0);
    EXPECT_TRUE(std::isinf(decimal_milli("inf")));
    EXPECT_TRUE(std::isnan(decimal_milli("nan")));
    EXPECT_EQ(decimal_milli(""), 0.0);
    EXPECT_EQ(decimal_milli("abc"), 0.0);
    EXPECT_EQ(decimal_milli("-"), 0.0);
}

TEST(DecimalMilli, U32FieldClampsInsteadOfWrapping) {
    EXPECT_EQ(decimal_milli_u32("1.001"), 1001u);
    EXPECT_EQ(decimal_milli_u32("-1"), 0u);
    EXPECT_EQ(decimal_milli_u32("nan"), 0u);
    EXPECT_EQ(decimal_milli_u32("4294967.295"), 4294967295u);
    EXPECT_EQ(decimal_milli_u32("99999999"), 4294967295u);
    EXPECT_EQ(decimal_milli_u32("4294967.294"), 4294967294u);
}

}  // namespace
}  // namespace kelpira::common
