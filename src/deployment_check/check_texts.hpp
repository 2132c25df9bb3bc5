// Pieces of the check's sentences: durations and formatted numbers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace kelpira::deployment_check {

// printf into a string, in the C locale the program runs in.
template <typename... Args>
std::string format(const char* pattern, Args... args) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

// "45 s", "6 min 20 s", "1 h", "2 d 3 h 5 min": the non-zero parts, largest first; "0 s".
std::string duration_text(std::uint64_t seconds);

}  // namespace kelpira::deployment_check
