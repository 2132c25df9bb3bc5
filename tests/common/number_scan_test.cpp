// "%u" and "%lf" acceptance of the number scanner, value by value.
#include "common/number_scan.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace kelpira::common {
namespace {

TEST(ScanU32, WhiteSpaceSignsAndWrapping) {
    EXPECT_EQ(scan_u32("42").value, 42u);
    auto r = scan_u32(" \t+7,");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.value, 7u);
    EXPECT_EQ(r.end, 4u);
    EXPECT_EQ(scan_u32("-1").value, 4294967295u);
    EXPECT_EQ(scan_u32("-5").value, 4294967291u);
    EXPECT_EQ(scan_u32("4294967296").value, 0u);
    EXPECT_EQ(scan_u32("4294967297").value, 1u);
    EXPECT_EQ(scan_u32("0007x").value, 7u);
    EXPECT_EQ(scan_u32("0007x").end, 4u);
}

TEST(ScanU32, NoDigitsFails) {
    EXPECT_FALSE(scan_u32("").ok);
    EXPECT_FALSE(scan_u32("   ").ok);
    EXPECT_FALSE(scan_u32("-").ok);
    EXPECT_FALSE(scan_u32("+-1").ok);
    EXPECT_FALSE(scan_u32("x1").ok);
    EXPECT_FALSE(scan_u32("0x1").value != 0);  // "%u" is decimal: reads the 0
    EXPECT_FALSE(scan_u32(std::string_view("\0"
                                           "1",
                                           2))
                     .ok);
}

TEST(ScanF64, DecimalForms) {
    EXPECT_EQ(scan_f64("1.5").value, 1.5);
    EXPECT_EQ(scan_f64("  -2.25e2,").value, -225.0);
    EXPECT_EQ(scan_f64("  -2.25e2,").end, 9u);
    EXPECT_EQ(scan_f64("+.5").value, 0.5);
    EXPECT_EQ(scan_f64("5.").value, 5.0);
    auto r = scan_f64("1e+");  // an exponent without digits is not part of the number
    EXPECT_EQ(r.value, 1.0);
    EXPECT_EQ(r.end, 1u);
    EXPECT_FALSE(scan_f64(".").ok);
    EXPECT_FALSE(scan_f64("--1").ok);
    EXPECT_FALSE(scan_f64("+-1").ok);
    EXPECT_FALSE(scan_f64("e5").ok);
    EXPECT_FALSE(scan_f64(",1").ok);
}

TEST(ScanF64, InfinitiesAndNaN) {
    EXPECT_EQ(scan_f64("inf").value, INFINITY);
    EXPECT_EQ(scan_f64("-Infinity,").value, -INFINITY);
    EXPECT_EQ(scan_f64("-Infinity,").end, 9u);
    EXPECT_EQ(scan_f64("INFINI").end, 3u);
    EXPECT_TRUE(std::isnan(scan_f64("nan").value));
    EXPECT_TRUE(std::isnan(scan_f64("NaN(123)").value));
    EXPECT_EQ(scan_f64("NaN(123)").end, 8u);
    EXPECT_EQ(scan_f64("nan(").end, 3u);
    EXPECT_FALSE(scan_f64("in").ok);
}

TEST(ScanF64, HexadecimalForms) {
    EXPECT_EQ(scan_f64("0x10").value, 16.0);
    EXPECT_EQ(scan_f64("-0X1.8p1").value, -3.0);
    EXPECT_EQ(scan_f64("0x.8").value, 0.5);
    auto r = scan_f64("0x,");  // no hex digit: strtod reads the "0"
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.value, 0.0);
    EXPECT_EQ(r.end, 1u);
    EXPECT_EQ(scan_f64("0x1p").end, 3u);
}

TEST(ScanF64, OutOfRangeGivesInfinityOrZero) {
    EXPECT_EQ(scan_f64("1e400").value, INFINITY);
    EXPECT_EQ(scan_f64("-1e400").value, -INFINITY);
    EXPECT_EQ(scan_f64("1e400").end, 5u);
    EXPECT_EQ(scan_f64("1e-400").value, 0.0);
    EXPECT_EQ(scan_f64("0.0000001e-320").value, 0.0);
    EXPECT_EQ(scan_f64("1e99999999999999999999").value, INFINITY);
    EXPECT_EQ(scan_f64("0x1p99999").value, INFINITY);
    EXPECT_EQ(scan_f64("0x1p-99999").value, 0.0);
}

TEST(LeadingReal, LongestPrefixOrZero) {
    EXPECT_EQ(leading_real("12.3456abc"), 12.3456);
    EXPECT_EQ(leading_real("abc"), 0.0);
    EXPECT_EQ(leading_real(""), 0.0);
}

TEST(WholeNumber, TheWholeTextOrNothing) {
    EXPECT_EQ(whole_number(" +42 "), 42);
    EXPECT_EQ(whole_number("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_FALSE(whole_number("9223372036854775808"));  // beyond the range
    for (const char* bad : {"", " ", "+", "+-1", "1.5", "12a", "1 2", "0x10"}) {
        EXPECT_FALSE(whole_number(bad)) << bad;
    }
}

}  // namespace
TEST(DecimalReal, PlainDecimalsOnly) {
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"30", 30.0},
        {"12.5", 12.5},
        {".5", 0.5},
        {"5.", 5.0},
        {"1e3", 1000.0},
        {"2.5E-1", 0.25},
        {"0", 0.0},
        {"0x10", std::nullopt},
        {"0X1p4", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"1e400", std::nullopt},
        {"30d", std::nullopt},
        {" 30", std::nullopt},
        {"30 ", std::nullopt},
        {"+3", std::nullopt},
        {"-3", std::nullopt},
        {"", std::nullopt},
        {".", std::nullopt},
        {"1e", std::nullopt},
        {"1e+", std::nullopt},
        {"1.2.3", std::nullopt},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(decimal_real(text), value) << text;
    }
}

}  // namespace kelpira::common
