// Formatting of engine log lines.
#include "processing/engine_log.hpp"

#include <cstdarg>
#include <cstdio>

namespace kelpira::processing {

namespace {

std::string format_line(const char* format, va_list args) {
    char buffer[256];
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    if (n < 0) {
        return {};
    }
    const auto length = static_cast<std::size_t>(n);
    return std::string(buffer, length < sizeof buffer ? length : sizeof buffer - 1);
}

}  // namespace

void EngineLog::operator()(const char* format, ...) const {
    if (!sink_) {
        return;
    }
    va_list args;
    va_start(args, format);
    const std::string line = format_line(format, args);
    va_end(args);
    sink_(line);
}

}  // namespace kelpira::processing
