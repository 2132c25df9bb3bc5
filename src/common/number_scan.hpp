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
// double give +-infinity, values too small give 0, as strtod does. Decimals are read by
// fast_float, which rounds exactly as strtod does.
Scanned<double> scan_f64(std::string_view text, std::size_t pos = 0);

// The plain unsigned form, inline: it reads at `p` without skipping white space or signs and
// advances `p` on success.

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

// A whole number typed in a field: blanks around it, an optional sign, decimal digits.
// Nothing for any other text, or beyond the 64-bit range.
std::optional<std::int64_t> whole_number(std::string_view text);

// A plain decimal real as a user types it: digits with an optional fraction and an optional
// exponent ("30", "12.5", ".5", "1e3"), nothing else: no blanks, signs, hexadecimal forms,
// infinities, NaN or trailing text, and nothing for a value beyond the range of a double.
std::optional<double> decimal_real(std::string_view text);

// A number given as a command-line option's value: an optional '-' and decimal digits, for a
// real also a fraction and an exponent as decimal_real reads them, and nothing else (no blanks,
// '+', hexadecimal, infinity or NaN). Nothing beyond the range of the type.
std::optional<std::int64_t> option_integer(std::string_view text);
std::optional<double> option_real(std::string_view text);

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
