// Reading a series' CSV (times in seconds or ISO 8601) and writing it back with its flags.
#include "quality/series_csv.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/csv_cell.hpp"
#include "common/number_scan.hpp"
#include "common/time_text.hpp"
#include "quality/qc_tests.hpp"

namespace kelpira::quality {

namespace {

// Reads `count` digits at `p` into `out`.
bool digits(std::string_view& rest, std::size_t count, int& out) {
    if (rest.size() < count) {
        return false;
    }
    out = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!common::is_decimal_digit(rest[i])) {
            return false;
        }
        out = out * 10 + (rest[i] - '0');
    }
    rest.remove_prefix(count);
    return true;
}

bool take(std::string_view& rest, char c) {
    if (rest.empty() || rest.front() != c) {
        return false;
    }
    rest.remove_prefix(1);
    return true;
}

std::optional<double> iso_time(std::string_view rest) {
    common::UtcFields f{};
    if (!digits(rest, 4, f.year) || !take(rest, '-') || !digits(rest, 2, f.month) ||
        !take(rest, '-') || !digits(rest, 2, f.day) || !(take(rest, 'T') || take(rest, ' ')) ||
        !digits(rest, 2, f.hour) || !take(rest, ':') || !digits(rest, 2, f.minute) ||
        !take(rest, ':') || !digits(rest, 2, f.second)) {
        return std::nullopt;
    }
    static constexpr int kMonthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (f.year % 4 == 0 && f.year % 100 != 0) || f.year % 400 == 0;
    if (f.month < 1 || f.month > 12 || f.day < 1 || f.day > kMonthDays[f.month - 1] ||
        (f.month == 2 && f.day == 29 && !leap) || f.hour > 23 || f.minute > 59 || f.second > 59) {
        return std::nullopt;
    }
    double fraction = 0;
    if (take(rest, '.')) {
        double scale = 0.1;
        const auto before = rest.size();
        while (!rest.empty() && common::is_decimal_digit(rest.front())) {
            fraction += (rest.front() - '0') * scale;
            scale /= 10;
            rest.remove_prefix(1);
        }
        if (rest.size() == before) {
            return std::nullopt;
        }
    }
    int offset_s = 0;
    if (take(rest, 'Z')) {
    } else if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        const int sign = rest.front() == '-' ? -1 : 1;
        rest.remove_prefix(1);
        int hours = 0;
        int minutes = 0;
        if (!digits(rest, 2, hours) || !take(rest, ':') || !digits(rest, 2, minutes) ||
            hours > 23 || minutes > 59) {
            return std::nullopt;
        }
        offset_s = sign * (hours * 3600 + minutes * 60);
    }
    if (!rest.empty()) {
        return std::nullopt;
    }
    return static_cast<double>(common::utc_seconds(f) - offset_s) + fraction;
}

// The cells of one line, split at commas; a quoted cell keeps its commas and doubled quotes.
std::optional<std::vector<std::string>> cells_of(std::string_view line) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                cells.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cells.back() += c;
            }
        } else if (c == '"' && cells.back().empty()) {
            quoted = true;
        } else if (c == ',') {
            cells.emplace_back();
        } else {
            cells.back() += c;
        }
    }
    if (quoted) {
        return std::nullopt;
    }
    return cells;
}

std::string line_text(std::size_t line) {
    return "line " + std::to_string(line) + ": ";
}

}  // namespace

std::optional<double> series_time(std::string_view text) {
    if (const auto seconds = common::decimal_real(text)) {
        return seconds;
    }
    return iso_time(text);
}

std::optional<double> series_value(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower.empty() || lower == "nan") {
        return std::numeric_limits<double>::quiet_NaN();
    }
    const bool negative = text.front() == '-';
    if (negative || text.front() == '+') {
        text.remove_prefix(1);
    }
    const auto v = common::decimal_real(text);
    if (!v) {
        return std::nullopt;
    }
    return negative ? -*v : *v;
}

std::optional<SeriesTable> read_series_csv(std::string_view text, std::string& error) {
    SeriesTable table;
    std::optional<std::size_t> time_column;
    std::optional<std::size_t> value_column;
    std::size_t columns = 0;
    std::size_t number = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const auto cells = cells_of(line);
        if (!cells) {
            error = line_text(number) + "a quoted cell does not end";
            return std::nullopt;
        }
        if (number == 1) {
            columns = cells->size();
            for (std::size_t c = 0; c < columns; ++c) {
                if ((*cells)[c] == "time" && !time_column) {
                    time_column = c;
                } else if ((*cells)[c] == "value" && !value_column) {
                    value_column = c;
                }
            }
            if (!time_column || !value_column) {
                error = line_text(1) + "the header needs the columns \"time\" and \"value\"";
                return std::nullopt;
            }
            continue;
        }
        if (line.empty() && text.empty()) {
            break;  // the file's last line feed
        }
        if (cells->size() != columns) {
            error = line_text(number) + std::to_string(cells->size()) + " cells, the header has " +
                    std::to_string(columns);
            return std::nullopt;
        }
        const std::string& time_cell = (*cells)[*time_column];
        const std::string& value_cell = (*cells)[*value_column];
        const auto t = series_time(time_cell);
        if (!t) {
            error = line_text(number) + "time \"" + time_cell +
                    "\" is neither seconds since 1970 nor an ISO 8601 date and time";
            return std::nullopt;
        }
        if (!table.times.empty() && !(*t > table.times.back())) {
            error = line_text(number) + "time \"" + time_cell +
                    "\" does not come after the time of the line before";
            return std::nullopt;
        }
        const auto v = series_value(value_cell);
        if (!v) {
            error = line_text(number) + "value \"" + value_cell + "\" is not a number";
            return std::nullopt;
        }
        table.time_texts.push_back(time_cell);
        table.value_texts.push_back(value_cell);
        table.times.push_back(*t);
        table.values.push_back(*v);
    }
    if (number == 0) {
        error = line_text(1) + "the header needs the columns \"time\" and \"value\"";
        return std::nullopt;
    }
    return table;
}

std::string flagged_series_csv(const SeriesParameters& parameters, const SeriesTable& table) {
    const auto flags = flag_series(parameters, table.times, table.values);
    std::string out(kFlaggedSeriesHeader);
    for (std::size_t i = 0; i < table.times.size(); ++i) {
        common::append_csv_cell(out, table.time_texts[i]);
        out += ',';
        common::append_csv_cell(out, table.value_texts[i]);
        for (const auto* column : {&flags.gross_range, &flags.spike, &flags.rate_of_change,
                                   &flags.flat_line, &flags.aggregate}) {
            out += ',';
            out += static_cast<char>('0' + flag_value((*column)[i]));
        }
        out += '\n';
    }
    return out;
}

}  // namespace kelpira::quality
