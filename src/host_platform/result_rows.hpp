// The simulator's results list: its 13 columns, its cap, and the rows each exchange adds.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelpira::host_platform {

struct ResultColumn {
    std::string_view title;
    int width;  // in the original dialog's horizontal base units; the window scales them
};

inline constexpr std::size_t kResultColumnCount = 13;

inline constexpr std::array<ResultColumn, kResultColumnCount> kResultColumns{{
    {"Dive Number", 10},
    {"Time (platform)", 15},
    {"Value", 15},
    {"Std Dev", 10},
    {"Validity", 10},
    {"Depth (m)", 10},
    {"Direction", 10},
    {"Salinity (PSU)", 10},
    {"Temperature (degC)", 15},
    {"P1", 10},
    {"P2", 10},
    {"P3", 10},
    {"Supply (V)", 10},
}};

using ResultRow = std::array<std::string, kResultColumnCount>;

// The list keeps at most this many rows: a row added to a full list drops the oldest first.
inline constexpr std::size_t kResultRowCap = 1001;

// Whether a row added to a list of `rows` rows drops the oldest one first.
constexpr bool adding_drops_oldest(std::size_t rows) {
    return rows >= kResultRowCap;
}

// One reply to "sample": seconds since 1970 (UTC), then value, temperature and standard
// deviation in thousandths (the value and the temperature shown signed, the standard
// deviation unsigned), and the validity code (0 good, 1 bad).
struct SampleReply {
    std::int32_t time = 0;
    std::int32_t value = 0;
    std::int32_t temperature = 0;
    std::int32_t validity = 0;
    std::int32_t std_dev = 0;
};

// One stored result of a download.
struct DownloadLine {
    std::uint32_t dive_number = 0;
    std::uint32_t time = 0;
    double depth = 0;
    double value = 0;
    double std_dev = 0;
    std::uint32_t validity = 0;   // 1 good, 2 bad
    std::uint32_t direction = 0;  // 1 surfaced, 2 diving, 3 climbing, 4 hovering
    std::int32_t p1 = 0;
    std::int32_t p2 = 0;
    std::int32_t p3 = 0;
    double supply = 0;  // volts
};

// One ETI result: time in seconds since 1970, value and temperature in thousandths.
struct EtiResult {
    std::uint32_t time = 0;
    std::uint32_t value = 0;
    std::int32_t temperature = 0;
};

// A platform time as the list shows it: "dd/mm/yyyy hh:mm:ss" in UTC, or the plain number
// when it cannot be converted to a date.
std::string platform_time_text(std::int64_t seconds);

ResultRow sample_row(const SampleReply& reply);
ResultRow download_row(const DownloadLine& line);
ResultRow eti_row(const EtiResult& result);

}  // namespace kelpira::host_platform
