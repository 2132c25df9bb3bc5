#include "common/number_text.hpp"

#include <array>
#include <charconv>

namespace kelpira::common {

std::string fixed_text(double value, int decimals) {
    std::array<char, 400> buffer{};  // the widest double in fixed notation fits
    const auto r = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                 std::chars_format::fixed, decimals);
    return std::string(buffer.data(), r.ptr);
}

std::string plain_text(double value) {
    std::array<char, 400> buffer{};  // the widest double in fixed notation fits
    const auto r = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                 std::chars_format::fixed);
    return std::string(buffer.data(), r.ptr);
}

std::string general_text(double value) {
    std::array<char, 64> buffer{};
    const auto r = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                 std::chars_format::general, 6);
    return std::string(buffer.data(), r.ptr);
}

std::string field_text(double value, int decimals) {
    std::string fixed = fixed_text(value, decimals);
    const bool zero_shown = value != 0.0 && fixed.find_first_of("123456789") == std::string::npos;
    if (fixed.size() <= kFieldChars && !zero_shown) {
        return fixed;
    }
    std::array<char, 64> buffer{};
    const auto r = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                 std::chars_format::scientific, decimals);
    return std::string(buffer.data(), r.ptr);
}

}  // namespace kelpira::common
