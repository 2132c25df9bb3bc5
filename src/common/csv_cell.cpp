// Quoting of comma-separated cells.
#include "common/csv_cell.hpp"

namespace kelpira::common {

void append_csv_cell(std::string& line, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        line.append(text);
        return;
    }
    line += '"';
    for (const char c : text) {
        if (c == '"') {
            line += '"';
        }
        line += c;
    }
    line += '"';
}

std::string csv_cell(std::string_view text) {
    std::string cell;
    append_csv_cell(cell, text);
    return cell;
}

}  // namespace kelpira::common
