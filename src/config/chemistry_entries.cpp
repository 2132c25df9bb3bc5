// Entry reading and number formats of the chemistry pages.
#include "config/chemistry_entries.hpp"

#include <algorithm>
#include <limits>

#include "common/decimal_milli.hpp"
#include "common/form.hpp"

namespace kelpira::config {

namespace {

// Only this many characters of an entry are read.
constexpr std::size_t kEntryChars = 23;

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

}  // namespace

std::uint32_t entry_unsigned(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && is_blank(text.back())) {
        text.remove_suffix(1);
    }
    if (text.empty()) {
        return 0;
    }
    std::uint64_t value = 0;
    constexpr std::uint64_t kTop = std::numeric_limits<std::uint32_t>::max();
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return 0;
        }
        value = std::min(value * 10 + static_cast<std::uint64_t>(c - '0'), kTop);
    }
    return static_cast<std::uint32_t>(value);
}

std::uint8_t entry_state(std::string_view text) {
    return static_cast<std::uint8_t>(std::min<std::uint32_t>(entry_unsigned(text), 254));
}

std::uint32_t entry_interval_ms(std::string_view text) {
    return std::clamp<std::uint32_t>(entry_unsigned(text), 100, 1000);
}

std::uint16_t entry_low16(std::string_view text) {
    return static_cast<std::uint16_t>(entry_unsigned(text) & 0xFFFFU);
}

float entry_real(std::string_view text) {
    return static_cast<float>(processing::field_real(std::string(text.substr(0, kEntryChars))));
}

std::uint32_t entry_milli(std::string_view text) {
    return common::decimal_milli_u32(text.substr(0, kEntryChars));
}

std::string fixed5_text(float value) {
    return processing::fixed_text(value, 5);
}

std::string general_text(float value) {
    return processing::general_text(value);
}

std::string crm_text(float value) {
    return processing::fixed_text(static_cast<double>(value) + 0.001, 2);
}

std::string milli_text(std::uint32_t v) {
    return processing::fixed_text(v / 1000.0, 3);
}

std::string dilution_text(double ratio) {
    return "1:" + processing::fixed_text(ratio, 3);
}

}  // namespace kelpira::config
