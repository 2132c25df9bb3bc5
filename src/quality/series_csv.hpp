// A series given as CSV (columns "time" and "value", in any order among others) flagged
// anew: how users re-flag an exported series with new thresholds.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quality/qc_parameters.hpp"

namespace kelpira::quality {

struct SeriesTable {
    std::vector<std::string> time_texts;  // as the file gives them
    std::vector<std::string> value_texts;
    std::vector<double> times;   // UTC seconds
    std::vector<double> values;  // NaN where missing
};

// Seconds since 1970 of a time cell: a plain number of seconds ("1796724000", "12.5"), or an
// ISO 8601 date and time ("2026-12-08T10:00:00", a space for the T, fractions of a second, a
// "Z" or "+hh:mm"/"-hh:mm" zone; UTC when there is none). Nothing for any other text.
std::optional<double> series_time(std::string_view text);

// A value cell: a decimal number with an optional sign, or missing (NaN) when it is empty or
// "nan" in any case. Nothing for any other text.
std::optional<double> series_value(std::string_view text);

// The series read from `text`; nothing, with `error` as "line N: what is wrong", when the
// header lacks a column, a cell cannot be read or a time does not increase on the one before.
std::optional<SeriesTable> read_series_csv(std::string_view text, std::string& error);

inline constexpr std::string_view kFlaggedSeriesHeader =
    "time,value,gross_range,spike,rate_of_change,flat_line,aggregate\n";

// The flagged table: the header above, then each record's time and value as given and its
// five flags.
std::string flagged_series_csv(const SeriesParameters& parameters, const SeriesTable& table);

}  // namespace kelpira::quality
