// Row scanning of raw output files.
#include "processing/raw_row_scan.hpp"

#include <fast_float/fast_float.h>

#include <bit>
#include <cstring>

#include "common/number_scan.hpp"

namespace kelpira::processing {

namespace {

// Where the scan of a line stands: the next character and the end of the line.
struct Cursor {
    const char* p;
    const char* end;
};

// The next_ readers scan one value at the cursor (after the separating comma of the previous
// one). A plain value starts with a digit and is read at once; every other form (white space,
// a sign, a hexadecimal real) goes through the general scan with the acceptance of "%u" and
// "%lf". False stops the row, as a failed conversion or a missing literal comma ends the scan.
// They are inline in the row's scan; what they call out of line returns where the value
// ended, or null when none could be read, so that the row's cursor stays in registers.
[[gnu::noinline]] const char* general_u32(Cursor c, std::uint32_t& out) {
    const auto r = common::scan_u32(std::string_view(c.p, static_cast<std::size_t>(c.end - c.p)));
    if (!r.ok) {
        return nullptr;
    }
    out = r.value;
    return c.p + r.end;
}

// Digits wrap modulo 2^32 as "%u" does.
[[gnu::always_inline]] inline bool next_u32(Cursor& c, std::uint32_t& out) {
    if (common::plain_u32(c.p, c.end, out)) {
        return true;
    }
    const char* const end = general_u32(c, out);
    c.p = end != nullptr ? end : c.p;
    return end != nullptr;
}

// Ones over the first `n` bytes of a word loaded from memory, in the machine's byte order.
constexpr std::uint64_t first_bytes(int n) {
    if (n <= 0) {
        return 0;
    }
    if (n >= 8) {
        return ~std::uint64_t{0};
    }
    const int bits = 8 * n;
    return std::endian::native == std::endian::little ? (std::uint64_t{1} << bits) - 1
                                                      : ~(~std::uint64_t{0} >> bits);
}

constexpr std::ptrdiff_t kKeptBytes = sizeof(RepeatedReal::bytes);

// For a kept text of each length, ones over its bytes and its comma in the two words.
constexpr auto kTextMask = [] {
    std::array<std::array<std::uint64_t, 2>, kKeptBytes> masks{};
    for (int length = 1; length < kKeptBytes; ++length) {
        masks[static_cast<std::size_t>(length)] = {first_bytes(length + 1),
                                                   first_bytes(length + 1 - 8)};
    }
    return masks;
}();

std::uint64_t load_word(const char* p) {
    std::uint64_t w = 0;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// A real reads the same from the same characters up to a comma, which no number continues
// over: the parser never looks past it. So a text equal to the kept one, comma included, is
// the kept value.
bool same_text(const Cursor& c, const RepeatedReal& kept) {
    if (kept.length == 0 || c.end - c.p < kKeptBytes) {
        return false;
    }
    const auto& mask = kTextMask[kept.length];
    return (((load_word(c.p) ^ kept.bytes[0]) & mask[0]) |
            ((load_word(c.p + 8) ^ kept.bytes[1]) & mask[1])) == 0;
}

void keep_text(const char* text, const char* stop, const char* end, double value,
               RepeatedReal& kept) {
    const std::ptrdiff_t length = stop - text;
    if (stop == end || *stop != ',' || length >= kKeptBytes || end - text < kKeptBytes) {
        kept.length = 0;
        return;
    }
    kept.bytes = {load_word(text), load_word(text + 8)};
    kept.length = static_cast<std::uint8_t>(length);
    kept.value = value;
}

// A real that differs from the kept text: read, and kept for the next row.
[[gnu::noinline]] const char* read_f64(Cursor c, double& out, RepeatedReal& kept) {
    if (c.p < c.end && common::is_decimal_digit(*c.p)) {
        // A text as long as the kept one ends at the same comma: the parser, told so, skips
        // its look for eight more digits, which a comma in them would refuse anyway.
        const char* last = c.end;
        if (kept.length != 0 && c.end - c.p > kept.length && c.p[kept.length] == ',') {
            last = c.p + kept.length;
        }
        const auto r = fast_float::from_chars(c.p, last, out);
        // A "0" stopped by an x may begin a hexadecimal number, which the general scan reads.
        if (r.ptr == c.end || (*r.ptr != 'x' && *r.ptr != 'X')) {
            keep_text(c.p, r.ptr, c.end, out, kept);
            return r.ptr;
        }
    }
    kept.length = 0;
    const auto r = common::scan_f64(std::string_view(c.p, static_cast<std::size_t>(c.end - c.p)));
    if (!r.ok) {
        return nullptr;
    }
    out = r.value;
    return c.p + r.end;
}

// The repeated text inline in the row's scan, where it costs a few instructions.
[[gnu::always_inline]] inline bool next_f64(Cursor& c, double& out, RepeatedReal& kept) {
    if (same_text(c, kept)) {
        out = kept.value;
        c.p += kept.length;
        return true;
    }
    const char* const end = read_f64(c, out, kept);
    c.p = end != nullptr ? end : c.p;
    return end != nullptr;
}

bool comma(Cursor& c) {
    if (c.p < c.end && *c.p == ',') {
        ++c.p;
        return true;
    }
    return false;
}

}  // namespace

int scan_row(std::string_view line, RawRow& row, RowMemo& memo) {
    Cursor c{line.data(), line.data() + line.size()};
    auto kept = memo.reals.begin();
    int n = 0;
    std::uint32_t state = 0;
    if (!next_u32(c, row.counter)) {
        return n;
    }
    ++n;
    if (!comma(c) || !next_u32(c, state)) {
        return n;
    }
    row.state = static_cast<std::uint8_t>(state);
    ++n;
    // Unrolled: each column's repeat test is a branch of its own, which the processor learns
    // (a column repeats row after row or never), where one shared branch would be mispredicted.
#pragma GCC unroll 8
    for (double& v : row.channels) {
        if (!comma(c) || !next_f64(c, v, *kept++)) {
            return n;
        }
        ++n;
    }
#pragma GCC unroll 2
    for (double& v : row.unused_real) {
        if (!comma(c) || !next_f64(c, v, *kept++)) {
            return n;
        }
        ++n;
    }
    for (std::uint32_t& v : row.unused_int) {
        if (!comma(c) || !next_u32(c, v)) {
            return n;
        }
        ++n;
    }
    if (!comma(c) || !next_u32(c, row.sensor_time)) {
        return n;
    }
    ++n;
#pragma GCC unroll 4
    for (double* v : {&row.salinity, &row.temperature, &row.oxygen, &row.depth}) {
        if (!comma(c) || !next_f64(c, *v, *kept++)) {
            return n;
        }
        ++n;
    }
    if (!comma(c) || !next_u32(c, row.platform_time)) {
        return n;
    }
    return n + 1;
}

int scan_row(std::string_view line, RawRow& row) {
    RowMemo memo;
    return scan_row(line, row, memo);
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

bool parse_row(std::string_view line, RawChemistry chemistry, RawRow& row, RowMemo& memo) {
    if (!line.empty() && line[0] == '%') {
        return false;
    }
    const int n = scan_row(line, row, memo);
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

bool parse_row(std::string_view line, RawChemistry chemistry, RawRow& row) {
    RowMemo memo;
    return parse_row(line, chemistry, row, memo);
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
    RowMemo memo;
    while (file.next_line(line)) {
        if (parse_row(line, chemistry, row, memo) && !sink(row)) {
            return RowPass::stopped;
        }
    }
    if (file.failed()) {
        return RowPass::read_error;
    }
    return sink(closing_row()) ? RowPass::completed : RowPass::stopped;
}

}  // namespace kelpira::processing
