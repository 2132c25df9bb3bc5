// The quality-control parameters file: one JSON object per series kind ("nitrate", "pH",
// ...), or per kind and nutrient channel ("nitrate/Long") where a channel differs; each
// object's members are those of SeriesParameters, by the test names. A file that is one such
// object ({"spike": ...}) holds the parameters of every kind. Every value is checked and an
// error names its key.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "quality/qc_parameters.hpp"

namespace kelpira::quality {

// The series kinds a file may name, as it names them.
inline constexpr std::array<std::string_view, 9> kSeriesKinds{
    "nitrate", "nitrite", "phosphate", "silicate", "ammonia", "iron", "pH", "TA", "DIC"};
inline constexpr std::array<std::string_view, 3> kNutrientChannels{"Medium", "Short", "Long"};

struct QcParametersFile {
    // By "kind" or "kind/channel"; "" for a file of one series' parameters.
    std::map<std::string, SeriesParameters, std::less<>> series;
};

// The file read from `text`; nothing, with `error` as "line N: KEY: what is wrong", when it is
// not JSON or a value is refused (an unknown key, a wrong type, a number that is not finite,
// a span whose min is above its max, a suspect threshold above the fail one, fail_run below
// suspect_run).
std::optional<QcParametersFile> read_qc_parameters(std::string_view text, std::string& error);

// The parameters of the series of `kind` on nutrient channel `channel` (empty for the other
// chemistries): those of "kind/channel", else of "kind", else of every kind; none when the
// file has none of them.
const SeriesParameters* series_parameters(const QcParametersFile& file, std::string_view kind,
                                          std::string_view channel = {});

// The parameters the program ships, the text of packaging/qc-defaults.json.
std::string_view default_qc_parameters_text();

// The parameters of `spec`: "default" for those the program ships (a file of that name is
// given as "./default"), else the path of a parameters file. Nothing, with `error` as
// "SPEC: what is wrong" (read_qc_parameters's error, or why the file cannot be read), when
// they cannot be had.
std::optional<QcParametersFile> load_qc_parameters(const std::string& spec, std::string& error);

}  // namespace kelpira::quality
