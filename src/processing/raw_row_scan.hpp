// Data rows of a raw output file: scanning one line and the row pass over a file.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

#include "processing/raw_file.hpp"
#include "processing/raw_header.hpp"
#include "processing/raw_row.hpp"

namespace kelpira::processing {

// One real column's text in the previous row of a pass, kept so that the same text in the
// next row is taken without reading it again: a raw file repeats many columns row after row
// (unused channels, a platform that sends nothing, a steady supply).
struct RepeatedReal {
    std::array<std::uint64_t, 2> bytes{};  // the text, the comma after it, what followed
    std::uint8_t length = 0;               // of the text without its comma; 0: nothing kept
    double value = 0;
};

// What a pass keeps from one row to the next: the 14 real columns, in row order.
struct RowMemo {
    std::array<RepeatedReal, 14> reals{};
};

// Scans a line with the 20-column row pattern
// "%u,%u,%lf x 10,%u,%u,%u,%lf x 4,%u" and returns how many values scanned before the first
// mismatch (0..20), as the scan function counts them; characters after the 20th value are
// ignored. Values beyond that count are left as they were. The memo, carried from row to row
// of a pass, changes only the speed: every value is the one the scan reads from the text.
int scan_row(std::string_view line, RawRow& row, RowMemo& memo);
int scan_row(std::string_view line, RawRow& row);

// Whether a line is a data row for this chemistry, filling `row` when it is: nutrient takes
// exactly 20 or exactly 15 values (platform values then 0), pH exactly 20, TA and DIC the
// first 15 (platform values 0). Lines beginning with "%" are never rows.
bool parse_row(std::string_view line, RawChemistry chemistry, RawRow& row, RowMemo& memo);
bool parse_row(std::string_view line, RawChemistry chemistry, RawRow& row);

// The closing row handed out after the last line of a file that ended normally: all zeros
// except its state, 255, so an engine sees the file's last state being left.
RawRow closing_row();

enum class RowPass { completed, read_error, stopped };

// Receives each row; returns false to stop the pass (a cancelled processing).
using RowSink = std::function<bool(const RawRow&)>;

// From the start of the file, hands every accepted row in file order to the sink, then the
// closing row when the file ended normally. A read error ends the pass without the closing
// row ("I/O error reading input file" for the caller to show).
RowPass for_each_row(RawFile& file, RawChemistry chemistry, const RowSink& sink);

inline constexpr std::string_view kReadErrorText = "I/O error reading input file";

}  // namespace kelpira::processing
