// Number scanning with the acceptance of "%u" and "%lf".
#include "common/number_scan.hpp"

#include <fast_float/fast_float.h>

#include <charconv>
#include <cmath>
#include <limits>

namespace kelpira::common {

namespace {

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

bool is_hex_digit(char c) {
    return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::size_t skip_space(std::string_view s, std::size_t i) {
    while (i < s.size() && is_space(s[i])) {
        ++i;
    }
    return i;
}

// from_chars reports a hexadecimal value outside the range of a double without giving one;
// strtod gives infinity for too large and zero for too small. Which of the two it is follows
// from the position of the first significant digit and the binary exponent of the token.
bool hex_token_overflows(std::string_view token) {
    std::size_t i = 0;
    while (i < token.size() && token[i] == '0') {
        ++i;
    }
    long magnitude = 0;
    std::size_t int_digits = 0;
    while (i < token.size() && is_hex_digit(token[i])) {
        ++int_digits;
        ++i;
    }
    if (int_digits > 0) {
        magnitude = static_cast<long>(int_digits) * 4;
    } else if (i < token.size() && token[i] == '.') {
        ++i;
        long zeros = 0;
        while (i < token.size() && token[i] == '0') {
            ++zeros;
            ++i;
        }
        magnitude = -zeros * 4;
    }
    while (i < token.size() && (is_hex_digit(token[i]) || token[i] == '.')) {
        ++i;
    }
    long exponent = 0;
    if (i < token.size() && (token[i] == 'p' || token[i] == 'P')) {
        ++i;
        bool negative = false;
        if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
            negative = token[i] == '-';
            ++i;
        }
        constexpr long kCap = 1'000'000'000;
        while (i < token.size() && is_digit(token[i])) {
            exponent = exponent < kCap ? exponent * 10 + (token[i] - '0') : kCap;
            ++i;
        }
        if (negative) {
            exponent = -exponent;
        }
    }
    return magnitude + exponent > 0;
}

}  // namespace

Scanned<std::uint32_t> scan_u32(std::string_view s, std::size_t pos) {
    std::size_t i = skip_space(s, pos);
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const char* p = s.data() + i;
    std::uint32_t v = 0;
    if (!plain_u32(p, s.data() + s.size(), v)) {
        return {};
    }
    i = static_cast<std::size_t>(p - s.data());
    return {negative ? 0u - v : v, i, true};
}

Scanned<double> scan_f64(std::string_view s, std::size_t pos) {
    std::size_t i = skip_space(s, pos);
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    // A second sign is not part of any number strtod reads.
    if (i >= s.size() || s[i] == '+' || s[i] == '-') {
        return {};
    }
    const char* const end = s.data() + s.size();
    const char* start = s.data() + i;
    bool hex = false;
    if (s[i] == '0' && i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        // "0x" counts only when a hexadecimal digit follows; otherwise strtod reads the "0".
        const bool digits_follow = (i + 2 < s.size() && is_hex_digit(s[i + 2])) ||
                                   (i + 3 < s.size() && s[i + 2] == '.' && is_hex_digit(s[i + 3]));
        if (digits_follow) {
            hex = true;
            start += 2;
        }
    }
    double v = 0;
    if (!hex) {
        // fast_float gives infinity and zero beyond the range of a double, as strtod does.
        const auto r = fast_float::from_chars(start, end, v);
        if (r.ec != std::errc()) {
            return {};
        }
        return {negative ? -v : v, static_cast<std::size_t>(r.ptr - s.data()), true};
    }
    const auto r = std::from_chars(start, end, v, std::chars_format::hex);
    if (r.ec == std::errc::invalid_argument) {
        return {};
    }
    if (r.ec == std::errc::result_out_of_range) {
        v = hex_token_overflows(std::string_view(start, static_cast<std::size_t>(r.ptr - start)))
                ? std::numeric_limits<double>::infinity()
                : 0.0;
    }
    return {negative ? -v : v, static_cast<std::size_t>(r.ptr - s.data()), true};
}

std::optional<std::int64_t> whole_number(std::string_view text) {
    std::size_t begin = skip_space(text, 0);
    std::size_t end = text.size();
    while (end > begin && is_space(text[end - 1])) {
        --end;
    }
    // from_chars takes a '-' but not a '+'.
    if (begin < end && text[begin] == '+' && (begin + 1 == end || text[begin + 1] != '-')) {
        ++begin;
    }
    std::int64_t v = 0;
    const auto [p, ec] = std::from_chars(text.data() + begin, text.data() + end, v);
    if (ec != std::errc() || p != text.data() + end) {
        return std::nullopt;
    }
    return v;
}

std::optional<std::int64_t> option_integer(std::string_view text) {
    std::int64_t v = 0;
    const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || p != text.data() + text.size()) {
        return std::nullopt;
    }
    return v;
}

std::optional<double> decimal_real(std::string_view text) {
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t from = i;
        while (i < text.size() && is_digit(text[i])) {
            ++i;
        }
        return i - from;
    };
    std::size_t mantissa = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) {
        return std::nullopt;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        if (digits() == 0) {
            return std::nullopt;
        }
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    double value = 0;
    const auto r = fast_float::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() ||
        value > std::numeric_limits<double>::max()) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> option_real(std::string_view text) {
    const bool negative = text.starts_with('-');
    const auto v = decimal_real(negative ? text.substr(1) : text);
    if (!v) {
        return std::nullopt;
    }
    return negative ? -*v : *v;
}

double leading_real(std::string_view text) {
    const auto r = scan_f64(text);
    return r.ok ? r.value : 0.0;
}

}  // namespace kelpira::common
