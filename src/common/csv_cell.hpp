// Cells of the comma-separated files the program writes. A cell holding a comma, a double
// quote, a carriage return or a line feed (a sensor name may) is put in double quotes with
// its quotes doubled, so any CSV reader sees one cell. A text cell starting with '=', '+', '-'
// or '@' would be taken for a formula by a spreadsheet (a sensor named "=HYPERLINK(...)"):
// it gets a leading apostrophe, so that the spreadsheet shows it as text. Numbers ("-1.250",
// "+3e-5", "-nan"), a lone "-" (the placeholder of a value not there, which no spreadsheet
// computes) and every other cell are written as they are.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kelpira::common {

// The cell as it goes into the file.
std::string csv_cell(std::string_view text);

// Appends the cell as it goes into the file to `line`.
void append_csv_cell(std::string& line, std::string_view text);

// Appends one line of the file to `out`: each of `cells` (anything that reads as text, or that
// `project` makes text of, such as &Column::title) as csv_cell writes it, joined by ",", ending
// in a line feed.
template <typename Cells, typename Projection = std::identity>
void append_csv_line(std::string& out, const Cells& cells, Projection project = {}) {
    bool first = true;
    for (const auto& cell : cells) {
        if (!first) {
            out += ',';
        }
        first = false;
        append_csv_cell(out, std::invoke(project, cell));
    }
    out += '\n';
}

template <typename Cells>
std::string csv_line(const Cells& cells) {
    std::string line;
    append_csv_line(line, cells);
    return line;
}

}  // namespace kelpira::common
