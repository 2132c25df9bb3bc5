// Formatting of engine log lines.
#include "processing/log_line.hpp"

#include <cstdarg>
#include <cstdio>

namespace kelpira::processing {

std::string log_line(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0) {
        return {};
    }
    return std::string(buffer, static_cast<std::size_t>(n) < sizeof buffer
                                   ? static_cast<std::size_t>(n)
                                   : sizeof buffer - 1);
}

}  // namespace kelpira::processing
