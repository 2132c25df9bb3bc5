// Number scanning with the acceptance of the C scan conversions "%u" and "%lf", without
// the cost of sscanf: leading white space, signs, and every form strtod reads.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

namespace kelpira::common {

// Where a scan stopped: `end` is the index just past the number; `ok` is false when no
// number could be read there (the conversion fails and nothing is consumed).
template <typename T>
struct Scanned {
    T value{};
    std::size_t end = 0;
    bool ok = false;
};

// "%u": white space, an optional sign, then decimal digits. The value wraps modulo 2^32,
// and a leading '-' negates it the way the C library does ("-1" gives 4294967295).
Scanned<std::uint32_t> scan_u32(std::string_view text, std::size_t pos = 0);

// "%lf": white space, then whatever strtod reads: an optional sign, a decimal number with
// optional fraction and exponent, "inf", "infinity", "nan", "nan(...)" (any case), or a
// hexadecimal number "0x..." with optional binary exponent. Values beyond the range of a
// double give +-infinity, values too small give 0, as strtod does.
Scanned<double> scan_f64(std::string_view text, std::size_t pos = 0);

// Fast paths for the plain forms that make up nearly all of a raw file, inline for the row
// scanner. They read at `p` without skipping white space or signs and advance `p` on success.

constexpr bool is_decimal_digit(char c) {
    return static_cast<unsigned char>(c - '0') < 10;
}

// Decimal digits, wrapping modulo 2^32 as "%u" does. False (p unchanged) without a digit.
inline bool plain_u32(const char*& p, const char* end, std::uint32_t& out) {
    const char* q = p;
    std::uint32_t v = 0;
    while (q < end && is_decimal_digit(*q)) {
        v = v * 10u + static_cast<std::uint32_t>(*q - '0');
        ++q;
    }
    if (q == p) {
        return false;
    }
    out = v;
    p = q;
    return true;
}

// A decimal "123.456" with at most 19 digits and no exponent, read exactly: a mantissa up to
// 2^53 divided by an exact power of ten up to 10^22 is one correctly rounded division
// (Clinger's fast path), the same double strtod gives. False (p unchanged) for every other
// form, which the general scan then reads.
inline bool plain_f64(const char*& p, const char* end, double& out) {
    static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const char* q = p;
    std::uint64_t mantissa = 0;  // wraps past 19 digits, which are refused below
    int digits = 0;
    while (q < end && is_decimal_digit(*q)) {
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(*q - '0');
        ++digits;
        ++q;
    }
    int fraction = 0;
    if (q < end && *q == '.') {
        ++q;
        while (q < end && is_decimal_digit(*q)) {
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(*q - '0');
            ++fraction;
            ++q;
        }
        digits += fraction;
    }
    // An exponent, or the x of a hexadecimal "0x", continues the number: not plain.
    if (digits == 0 || digits > 19 || mantissa > (std::uint64_t{1} << 53) || fraction > 22 ||
        (q < end && (*q == 'e' || *q == 'E' || *q == 'x' || *q == 'X'))) {
        return false;
    }
    out = static_cast<double>(mantissa) / kPow10[fraction];
    p = q;
    return true;
}

// A whole number typed in a field: blanks around it, an optional sign, decimal digits.
// Nothing for any other text, or beyond the 64-bit range.
std::optional<std::int64_t> whole_number(std::string_view text);

// The longest numeric prefix of a text field as a decimal real, 0.0 when there is none.
double leading_real(std::string_view text);

// A double stored in a 32-bit float field: values beyond the range of a float become
// infinities, as the hardware conversion gives (the language leaves that case undefined).
inline float to_f32(double v) {
    constexpr double kMax = std::numeric_limits<float>::max();
    if (v > kMax) {
        return std::numeric_limits<float>::infinity();
    }
    if (v < -kMax) {
        return -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(v);
}

}  // namespace kelpira::common
