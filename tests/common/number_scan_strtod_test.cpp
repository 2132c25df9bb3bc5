// The number scanner against the C library on many generated texts: the same acceptance,
// the same end of the number and the same value as strtod and strtoul.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "common/number_scan.hpp"

namespace kelpira::common {
namespace {

// Characters that make up numbers in any form, and some that end them.
constexpr std::string_view kAlphabet = "0123456789012345.....eEeE+-+-xXpPinfINFatyTY()_, \t";

std::string random_text(std::mt19937& rng, std::size_t max_length) {
    std::uniform_int_distribution<std::size_t> length(0, max_length);
    std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
    std::string s(length(rng), ' ');
    for (auto& c : s) {
        c = kAlphabet[pick(rng)];
    }
    return s;
}

bool same_double(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(NumberScanAgainstStrtod, RealsScanLikeStrtod) {
    std::mt19937 rng(20261208);
    for (int i = 0; i < 300000; ++i) {
        const std::string s = random_text(rng, 14);
        char* end = nullptr;
        const double expected = std::strtod(s.c_str(), &end);
        const auto consumed = static_cast<std::size_t>(end - s.c_str());
        const auto r = scan_f64(s);
        ASSERT_EQ(r.ok, consumed != 0) << '"' << s << '"';
        if (r.ok) {
            ASSERT_EQ(r.end, consumed) << '"' << s << '"';
            ASSERT_TRUE(same_double(r.value, expected))
                << '"' << s << "\" " << r.value << " vs " << expected;
        }
    }
}

TEST(NumberScanAgainstStrtod, PlainDecimalsRoundLikeStrtod) {
    std::mt19937_64 rng(7);
    for (int i = 0; i < 300000; ++i) {
        const std::uint64_t mantissa = rng() >> (rng() % 64);
        std::string s = std::to_string(mantissa);
        const std::size_t point = rng() % (s.size() + 1);
        s.insert(point, ".");
        if (rng() % 4 == 0) {
            s.insert(0, "-");
        }
        const double expected = std::strtod(s.c_str(), nullptr);
        const auto r = scan_f64(s);
        ASSERT_TRUE(r.ok) << s;
        ASSERT_TRUE(same_double(r.value, expected)) << s;
    }
}

TEST(NumberScanAgainstStrtod, UnsignedScanLikeStrtoul) {
    std::mt19937 rng(4);
    for (int i = 0; i < 300000; ++i) {
        const std::string s = random_text(rng, 12);
        char* end = nullptr;
        const unsigned long expected = std::strtoul(s.c_str(), &end, 10);
        const auto consumed = static_cast<std::size_t>(end - s.c_str());
        const auto r = scan_u32(s);
        ASSERT_EQ(r.ok, consumed != 0) << '"' << s << '"';
        if (r.ok) {
            ASSERT_EQ(r.end, consumed) << '"' << s << '"';
            ASSERT_EQ(r.value, static_cast<std::uint32_t>(expected)) << '"' << s << '"';
        }
    }
}

}  // namespace
}  // namespace kelpira::common
