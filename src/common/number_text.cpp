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

std::string general_text(double value) {
    std::array<char, 64> buffer{};
    const auto r = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                 std::chars_format::general, 6);
    return std::string(buffer.data(), r.ptr);
}

}  // namespace kelpira::common
