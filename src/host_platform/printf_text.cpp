// printf-style formatting into a std::string.
#include "host_platform/printf_text.hpp"

#include <cstdarg>
#include <cstdio>

namespace kelpira::host_platform {

std::string printf_text(const char* format, ...) {
    char small[128];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string out;
    if (n >= 0 && static_cast<std::size_t>(n) < sizeof small) {
        out.assign(small, static_cast<std::size_t>(n));
    } else if (n >= 0) {
        out.resize(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), format, again);
        out.pop_back();
    }
    va_end(again);
    return out;
}

}  // namespace kelpira::host_platform
