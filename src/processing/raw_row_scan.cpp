// Row scanning of raw output files.
#include "processing/raw_row_scan.hpp"

#include <fast_float/fast_float.h>

#include <charconv>

#include "common/number_scan.hpp"

namespace kelpira::processing {

namespace {

// Scans one value at `pos` (after the separating comma of the previous one). A plain value
// starts with a digit and is read by the library parser at once; every other form (white
// space, a sign, an unsigned value past 2^32, a hexadecimal real) goes through the general
// scan with the acceptance of "%u" and "%lf". False stops the row, as a failed conversion or
// a missing literal comma ends the scan.
bool next_u32(std::string_view line, std::size_t& pos, std::uint32_t& out) {
    const char* p = line.data() + pos;
    const char* const end = line.data() + line.size();
    if (p < end && common::is_decimal_digit(*p)) {
        const auto r = std::from_chars(p, end, out);
        if (r.ec == std::errc()) {
            pos = static_cast<std::size_t>(r.ptr - line.data());
            return true;
        }
    }
    const auto r = common::scan_u32(line, pos);
    if (!r.ok) {
        return false;
    }
    out = r.value;
    pos = r.end;
    return true;
}

bool next_f64(std::string_view line, std::size_t& pos, double& out) {
    const char* p = line.data() + pos;
    const char* const end = line.data() + line.size();
    if (p < end && common::is_decimal_digit(*p)) {
        const auto r = fast_float::from_chars(p, end, out);
        // A "0" stopped by an x may begin a hexadecimal number, which the general scan reads.
        if (r.ptr == end || (*r.ptr != 'x' && *r.ptr != 'X')) {
            pos = static_cast<std::size_t>(r.ptr - line.data());
            return true;
        }
    }
    const auto r = common::scan_f64(line, pos);
    if (!r.ok) {
        return false;
    }
    out = r.value;
    pos = r.end;
    return true;
}

bool comma(std::string_view line, std::size_t& pos) {
    if (pos < line.size() && line[pos] == ',') {
        ++pos;
        return true;
    }
    return false;
}

}  // namespace

int scan_row(std::string_view line, RawRow& row) {
    std::size_t pos = 0;
    int n = 0;
    std::uint32_t state = 0;
    if (!next_u32(line, pos, row.counter)) {
        return n;
    }
    ++n;
    if (!comma(line, pos) || !next_u32(line, pos, state)) {
        return n;
    }
    row.state = static_cast<std::uint8_t>(state);
    ++n;
    for (double& v : row.channels) {
        if (!comma(line, pos) || !next_f64(line, pos, v)) {
            return n;
        }
        ++n;
    }
    for (double& v : row.unused_real) {
        if (!comma(line, pos) || !next_f64(line, pos, v)) {
            return n;
        }
        ++n;
    }
    for (std::uint32_t& v : row.unused_int) {
        if (!comma(line, pos) || !next_u32(line, pos, v)) {
            return n;
        }
        ++n;
    }
    if (!comma(line, pos) || !next_u32(line, pos, row.sensor_time)) {
        return n;
    }
    ++n;
    for (double* v : {&row.salinity, &row.temperature, &row.oxygen, &row.depth}) {
        if (!comma(line, pos) || !next_f64(line, pos, *v)) {
            return n;
        }
        ++n;
    }
    if (!comma(line, pos) || !next_u32(line, pos, row.platform_time)) {
        return n;
    }
    return n + 1;
}

namespace {

void clear_platform(RawRow& row) {
    row.has_platform = false;
    row.salinity = 0;
    row.temperature = 0;
    row.oxygen = 0;
    row.depth = 0;
    row.platform_time = 0;
}

}  // namespace

bool parse_row(std::string_view line, RawChemistry chemistry, RawRow& row) {
    if (!line.empty() && line[0] == '%') {
        return false;
    }
    const int n = scan_row(line, row);
    switch (chemistry) {
        case RawChemistry::nutrient:
        case RawChemistry::nutrient_multi:
            if (n == 20) {
                row.has_platform = true;
                return true;
            }
            if (n == 15) {
                clear_platform(row);
                return true;
            }
            return false;
        case RawChemistry::ph:
            row.has_platform = n == 20;
            return n == 20;
        case RawChemistry::ta:
        case RawChemistry::dic:
            // These read with the 15-column pattern: later columns are never looked at.
            clear_platform(row);
            return n >= 15;
    }
    return false;
}

RawRow closing_row() {
    RawRow row;
    row.state = 255;
    return row;
}

RowPass for_each_row(RawFile& file, RawChemistry chemistry, const RowSink& sink) {
    file.rewind();
    std::string_view line;
    RawRow row;
    while (file.next_line(line)) {
        if (parse_row(line, chemistry, row) && !sink(row)) {
            return RowPass::stopped;
        }
    }
    if (file.failed()) {
        return RowPass::read_error;
    }
    return sink(closing_row()) ? RowPass::completed : RowPass::stopped;
}

}  // namespace kelpira::processing
