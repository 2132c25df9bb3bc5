// Quoting of comma-separated cells.
#include "common/csv_cell.hpp"

#include <cctype>

namespace kelpira::common {

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// A number as printf writes one: sign, digits with at most one point, an exponent; or nan or
// inf in any letter case.
bool is_number(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::string word;
    for (std::size_t j = i; j < text.size(); ++j) {
        word += static_cast<char>(std::tolower(static_cast<unsigned char>(text[j])));
    }
    if (word == "nan" || word == "inf" || word == "infinity") {
        return true;
    }
    bool digits = false;
    while (i < text.size() && is_digit(text[i])) {
        ++i;
        digits = true;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && is_digit(text[i])) {
            ++i;
            digits = true;
        }
    }
    if (!digits) {
        return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        if (i == text.size() || !is_digit(text[i])) {
            return false;
        }
        while (i < text.size() && is_digit(text[i])) {
            ++i;
        }
    }
    return i == text.size();
}

bool reads_as_formula(std::string_view text) {
    return !text.empty() && text != "-" &&
           std::string_view("=+-@").find(text.front()) != std::string_view::npos &&
           !is_number(text);
}

}  // namespace

void append_csv_cell(std::string& line, std::string_view text) {
    const std::string_view apostrophe = reads_as_formula(text) ? "'" : "";
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        line.append(apostrophe);
        line.append(text);
        return;
    }
    line += '"';
    line.append(apostrophe);
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
