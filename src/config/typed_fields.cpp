// Reading typed numbers and writing fixed-point texts.
#include "config/typed_fields.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

#include "common/number_scan.hpp"

namespace kelpira::config {

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

}  // namespace

std::uint32_t typed_unsigned(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && is_blank(text.back())) {
        text.remove_suffix(1);
    }
    if (text.empty()) {
        return 0;
    }
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t value = 0;
    for (const char c : text) {
        if (!common::is_decimal_digit(c)) {
            return 0;
        }
        value = std::min(kMax, value * 10 + static_cast<std::uint64_t>(c - '0'));
    }
    return static_cast<std::uint32_t>(value);
}

std::int32_t typed_signed(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) {
        text.remove_prefix(1);
    }
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    // typed_unsigned would skip blanks after the sign; "- 5" is not a number.
    if (text.empty() || is_blank(text.front())) {
        return 0;
    }
    const std::int64_t magnitude = typed_unsigned(text);
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::uint32_t typed_in_range(std::string_view text, std::uint32_t low, std::uint32_t high) {
    return std::clamp(typed_unsigned(text), low, high);
}

float typed_real(std::string_view text) {
    return common::to_f32(common::leading_real(text));
}

std::string fixed_text(double value, int decimals) {
    std::array<char, 400> buffer{};  // the widest double in fixed notation fits
    const auto r = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                 std::chars_format::fixed, decimals);
    return std::string(buffer.data(), r.ptr);
}

}  // namespace kelpira::config
