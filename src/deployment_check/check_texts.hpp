// Pieces of the check's sentences: durations and formatted numbers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "common/number_text.hpp"

namespace kelpira::deployment_check {

// printf into a string, in the C locale the program runs in, however long it comes out.
template <typename... Args>
std::string format(const char* pattern, Args... args) {
    const int n = std::snprintf(nullptr, 0, pattern, args...);
    if (n <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(n), '\0');
    std::snprintf(text.data(), text.size() + 1, pattern, args...);
    return text;
}

// "45 s", "6 min 20 s", "1 h", "2 d 3 h 5 min": the non-zero parts, largest first; "0 s".
std::string duration_text(std::uint64_t seconds);

}  // namespace kelpira::deployment_check
