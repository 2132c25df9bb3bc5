// The rows each exchange adds to the results list, cell by cell.
#include "host_platform/result_rows.hpp"

#include "common/time_text.hpp"
#include "host_platform/printf_text.hpp"

namespace kelpira::host_platform {

namespace {

std::string thousandths(std::uint32_t v) {
    return printf_text("%.3f", v / 1000.0);
}

// Enumerated cells: the text of `code` in `texts` (counted from `first`), else "unknown".
template <std::size_t N>
std::string_view named(std::uint32_t code, std::uint32_t first, const char* const (&texts)[N]) {
    return code >= first && code - first < N ? texts[code - first] : "unknown";
}

}  // namespace

std::string platform_time_text(std::int64_t seconds) {
    if (seconds < 0 || seconds > 0x7FFFFFFF) {
        return std::to_string(seconds);
    }
    return common::utc_time_text(static_cast<std::uint32_t>(seconds));
}

ResultRow sample_row(const SampleReply& r) {
    static const char* const kValidity[] = {"good", "bad"};
    ResultRow row;
    row.fill("-");
    row[1] = platform_time_text(r.time);
    // Signed: a concentration near zero reads a little below it (-0.001 uM), as the download of
    // the same cycle shows.
    row[2] = printf_text("%.3f", r.value / 1000.0);
    row[3] = thousandths(static_cast<std::uint32_t>(r.std_dev));
    row[4] = named(static_cast<std::uint32_t>(r.validity), 0, kValidity);
    row[8] = printf_text("%.3f", r.temperature / 1000.0);  // sea water reaches -1.9 degrees C
    return row;
}

ResultRow download_row(const DownloadLine& l) {
    static const char* const kValidity[] = {"good", "bad"};
    static const char* const kDirection[] = {"surfaced", "diving", "climbing", "hovering"};
    return {
        printf_text("%u", l.dive_number),
        platform_time_text(l.time),
        printf_text("%.3f", l.value),
        printf_text("%.3f", l.std_dev),
        std::string(named(l.validity, 1, kValidity)),
        printf_text("%.3f", l.depth),
        std::string(named(l.direction, 1, kDirection)),
        printf_text("%.3f", 0.0),
        printf_text("%.3f", 0.0),
        printf_text("%d", l.p1),
        printf_text("%d", l.p2),
        printf_text("%d", l.p3),
        printf_text("%.1f", l.supply),
    };
}

ResultRow eti_row(const EtiResult& r) {
    ResultRow row;
    row[0] = "0";
    row[1] = platform_time_text(r.time);
    row[2] = thousandths(r.value);
    row[8] = printf_text("%.3f", r.temperature / 1000.0);
    return row;
}

}  // namespace kelpira::host_platform
