// Raw rows built in tests, and a log that keeps every engine line.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "processing/engine_log.hpp"
#include "processing/raw_row.hpp"

namespace kelpira::testing {

inline processing::RawRow make_row(std::uint8_t state, std::uint32_t sensor_time = 0) {
    processing::RawRow r;
    r.state = state;
    r.sensor_time = sensor_time;
    r.has_platform = true;
    return r;
}

inline processing::RawRow with_channel(processing::RawRow r, std::size_t channel, double v) {
    r.channels[channel] = v;
    return r;
}

// The row the reader hands over after the last line of a file.
inline processing::RawRow closing_row() {
    processing::RawRow r;
    r.state = 255;
    return r;
}

struct LogRecord {
    std::vector<std::string> lines;

    processing::LogSink sink() {
        return [this](const std::string& line) { lines.push_back(line); };
    }
    bool contains(const std::string& line) const {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

}  // namespace kelpira::testing
