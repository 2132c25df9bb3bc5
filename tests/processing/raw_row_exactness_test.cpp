// Every real of a row scans to the double strtod gives for the same text, over the shapes a
// raw file's numbers take and the odd ones the general scan reads.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "processing/raw_row_scan.hpp"

namespace kelpira::processing {
namespace {

// One number's text in a random shape: the sensor's fixed decimals, long mantissas, exponents,
// round-trip texts of any double (subnormals included), values beyond the range of a double,
// signs and white space, infinities, NaNs and hexadecimal reals.
std::string random_number(std::mt19937_64& rng) {
    char text[128];
    const auto pick = [&rng](std::uint64_t n) { return rng() % n; };
    const double reading = std::ldexp(static_cast<double>(rng() >> 11), -53) * 50.0;
    switch (pick(10)) {
        case 0:
        case 1:
        case 2:
            std::snprintf(text, sizeof text, "%.*f", static_cast<int>(pick(7)), reading);
            break;
        case 3:
            std::snprintf(text, sizeof text, "%s%llu.%llu", pick(3) == 0 ? "-" : "",
                          static_cast<unsigned long long>(rng()),
                          static_cast<unsigned long long>(rng()));
            break;
        case 4:
            std::snprintf(text, sizeof text, "%.*e", static_cast<int>(pick(20)),
                          reading * std::pow(10.0, static_cast<double>(pick(60)) - 30));
            break;
        case 5: {
            double any = 0;
            const std::uint64_t bits = rng();
            std::memcpy(&any, &bits, sizeof any);
            std::snprintf(text, sizeof text, "%.17g", any);
            break;
        }
        case 6:
            std::snprintf(text, sizeof text, "%de%d", static_cast<int>(pick(1000)),
                          static_cast<int>(pick(700)) - 350);
            break;
        case 7:
            std::snprintf(text, sizeof text, "%s%s%.4f", pick(2) == 0 ? " " : "\t ",
                          pick(2) == 0 ? "+" : "-", reading);
            break;
        case 8: {
            static const char* const kWords[] = {"inf", "-Infinity", "nan", "NAN(x1)", "+inf"};
            std::snprintf(text, sizeof text, "%s", kWords[pick(5)]);
            break;
        }
        default:
            std::snprintf(text, sizeof text, "%a", reading * (pick(2) == 0 ? 1e-300 : 1.0));
            break;
    }
    return text;
}

bool same_double(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

// The rows go through one memo, as in a pass over a file; a column often repeats its text
// from the row before, or that text with a digit more.
TEST(RawRowExactness, EveryRealIsTheOneStrtodGives) {
    std::mt19937_64 rng(20261209);
    constexpr int kReals = 14;  // channels, the two unused reals, the platform's four
    constexpr int kRows = 1'000'000 / kReals + 1;
    RowMemo memo;
    std::vector<std::string> texts(kReals, "0");
    for (int k = 0; k < kRows; ++k) {
        for (std::string& text : texts) {
            switch (rng() % 6) {
                case 0:
                case 1:
                    break;
                case 2:
                    // A digit more only where it continues the number (not after "nan(x)").
                    if (text.size() < 40 && std::isdigit(static_cast<unsigned char>(text.back()))) {
                        text += '5';
                    }
                    break;
                default:
                    text = random_number(rng);
                    break;
            }
        }
        std::string line = "1,4";
        for (int i = 0; i < 10; ++i) {
            line += "," + texts[static_cast<std::size_t>(i)];
        }
        line += ",0,1,1700000000";
        for (int i = 10; i < kReals; ++i) {
            line += "," + texts[static_cast<std::size_t>(i)];
        }
        line += ",1700000003";
        RawRow row;
        ASSERT_EQ(scan_row(line, row, memo), 20) << line;
        const double* const scanned[kReals] = {
            &row.channels[0],    &row.channels[1],    &row.channels[2], &row.channels[3],
            &row.channels[4],    &row.channels[5],    &row.channels[6], &row.channels[7],
            &row.unused_real[0], &row.unused_real[1], &row.salinity,    &row.temperature,
            &row.oxygen,         &row.depth};
        for (int i = 0; i < kReals; ++i) {
            const std::string& text = texts[static_cast<std::size_t>(i)];
            ASSERT_TRUE(same_double(*scanned[i], std::strtod(text.c_str(), nullptr)))
                << '"' << text << "\" scanned as " << *scanned[i];
        }
    }
}

}  // namespace
}  // namespace kelpira::processing
