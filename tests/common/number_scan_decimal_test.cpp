// Plain decimals take a short cut in scan_f64; it must give exactly what strtod gives.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "common/number_scan.hpp"

namespace {

using kelpira::common::scan_f64;

void expect_as_strtod(const std::string& text) {
    char* end = nullptr;
    const double expected = std::strtod(text.c_str(), &end);
    const auto scanned = scan_f64(text);
    ASSERT_TRUE(scanned.ok) << text;
    EXPECT_EQ(std::memcmp(&scanned.value, &expected, sizeof expected), 0)
        << text << ": " << scanned.value << " != " << expected;
    EXPECT_EQ(scanned.end, static_cast<std::size_t>(end - text.c_str())) << text;
}

TEST(ScanF64Decimal, EdgesOfTheShortCut) {
    for (const char* text : {"0",
                             "-0",
                             "-0.0",
                             "+7",
                             "5.",
                             ".5",
                             "-.25,",
                             "123456789012345",
                             "1234567890123456",
                             "0.000000000000001",
                             "0.0000000000000001",
                             "999999999999999.9",
                             "12.345678,9",
                             "1.5e3",
                             "1.5E-3,",
                             "1.5e",
                             "2x",
                             "0x",
                             "0x1p3",
                             "  \t42.125 ",
                             "3.14159265358979",
                             "9007199254740993",
                             "0.1",
                             "0.3",
                             "2.675",
                             "1e22",
                             "123.456789012345678901"}) {
        expect_as_strtod(text);
    }
}

TEST(ScanF64Decimal, RandomDecimalsMatchStrtodBitForBit) {
    std::mt19937_64 random(20261208);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> length(1, 19);
    for (int n = 0; n < 200000; ++n) {
        const int digits = length(random);
        const int point = std::uniform_int_distribution<int>(0, digits)(random);
        std::string text = (n % 3 == 0) ? "-" : "";
        for (int i = 0; i < digits; ++i) {
            if (i == point) {
                text += '.';
            }
            text += static_cast<char>('0' + digit(random));
        }
        text += ',';
        expect_as_strtod(text);
    }
}

}  // namespace
