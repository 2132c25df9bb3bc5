// Decimal text times 1000 without the binary rounding of the double.
#include "common/decimal_milli.hpp"

#include <cmath>
#include <limits>

#include "common/number_scan.hpp"

namespace kelpira::common {

namespace {

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

double decimal_milli(std::string_view text) {
    const auto scanned = scan_f64(text);
    if (!scanned.ok) {
        return 0.0;
    }
    // Re-read the same token digit by digit when it is a plain decimal.
    std::size_t i = 0;
    while (i < scanned.end && is_space(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < scanned.end && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    double whole = 0.0;  // integer digits; exact up to 2^53, beyond that as the double rounds
    int fraction_digits = 0;
    double thousandths = 0.0;
    bool plain = true;
    bool in_fraction = false;
    for (; i < scanned.end; ++i) {
        const char c = text[i];
        if (c == '.' && !in_fraction) {
            in_fraction = true;
        } else if (is_decimal_digit(c)) {
            if (!in_fraction) {
                whole = whole * 10.0 + (c - '0');
            } else if (fraction_digits < 3) {
                thousandths = thousandths * 10.0 + (c - '0');
                ++fraction_digits;
            }
        } else {
            plain = false;  // exponent, hexadecimal, inf or nan
            break;
        }
    }
    if (!plain) {
        return std::trunc(scanned.value * 1000.0);
    }
    for (; fraction_digits < 3; ++fraction_digits) {
        thousandths *= 10.0;
    }
    const double value = whole * 1000.0 + thousandths;
    return negative ? -value : value;
}

std::uint32_t decimal_milli_u32(std::string_view text) {
    const double v = decimal_milli(text);
    if (!(v > 0)) {
        return 0;
    }
    if (v >= static_cast<double>(std::numeric_limits<std::uint32_t>::max())) {
        return std::numeric_limits<std::uint32_t>::max();
    }
    return static_cast<std::uint32_t>(v);
}

}  // namespace kelpira::common
