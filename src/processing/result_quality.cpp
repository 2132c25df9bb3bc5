// Results gathered into series, sorted, cleared of repeats and flagged.
#include "processing/result_quality.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>
#include <tuple>

#include "processing/batch_tables.hpp"
#include "processing/clock_correction.hpp"
#include "processing/nutrient_csv.hpp"
#include "processing/result_csv.hpp"
#include "quality/qc_tests.hpp"

namespace kelpira::processing {

namespace {

constexpr std::array<std::string_view, 3> kNutrientSeries{"Medium", "Short", "Long"};
constexpr std::array<std::string_view, 1> kPhSeries{"pH"};
constexpr std::array<std::string_view, 1> kTaSeries{"TA"};
constexpr std::array<std::string_view, 1> kDicSeries{"DIC"};

struct NutrientKind {
    records::ChemistryType type;
    std::string_view kind;
};
constexpr std::array<NutrientKind, 6> kNutrientKinds{{
    {records::ChemistryType::nitrate, "nitrate"},
    {records::ChemistryType::nitrite, "nitrite"},
    {records::ChemistryType::phosphate, "phosphate"},
    {records::ChemistryType::silicate, "silicate"},
    {records::ChemistryType::iron, "iron"},
    {records::ChemistryType::ammonia, "ammonia"},
}};

// A value as the table writes it; NaN for a cell that is no finite number.
double exported_value(const std::string& cell) {
    double v = std::numeric_limits<double>::quiet_NaN();
    const auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), v);
    if (ec != std::errc{} || end != cell.data() + cell.size() || !std::isfinite(v)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return v;
}

struct Point {
    double time = 0;
    double value = 0;
    std::string cell;
    std::size_t row = 0;
};

std::string time_text(double t) {
    return t >= 0 && t <= 2147483647.0 ? corrected_time_text(t) : std::to_string(t);
}

}  // namespace

std::span<const std::string_view> quality_series_names(ChemistryChoice chemistry) {
    switch (chemistry) {
        case ChemistryChoice::ph:
            return kPhSeries;
        case ChemistryChoice::ta:
            return kTaSeries;
        case ChemistryChoice::dic:
            return kDicSeries;
        case ChemistryChoice::automatic:
        case ChemistryChoice::nutrient:
            break;
    }
    return kNutrientSeries;
}

std::string_view quality_kind(ChemistryChoice chemistry, const NetcdfInput& input) {
    if (chemistry != ChemistryChoice::nutrient && chemistry != ChemistryChoice::automatic) {
        return quality_series_names(chemistry).front();
    }
    for (const auto& n : kNutrientKinds) {
        if (input.header.chemistry == n.type) {
            return n.kind;
        }
    }
    return {};
}

std::size_t quality_value_cell(ChemistryChoice chemistry, std::size_t series) {
    switch (chemistry) {
        case ChemistryChoice::ph:
        case ChemistryChoice::ta:
            return 1;
        case ChemistryChoice::dic:
            return 2;
        case ChemistryChoice::automatic:
        case ChemistryChoice::nutrient:
            break;
    }
    return 2 + series;  // "Nutrient (Medium:uM)", then Short and Long
}

const quality::SeriesParameters* quality_parameters(const quality::QcParametersFile& file,
                                                    ChemistryChoice chemistry,
                                                    const NetcdfInput& input, std::size_t series) {
    const auto kind = quality_kind(chemistry, input);
    const bool nutrient = quality_series_names(chemistry).size() > 1;
    return quality::series_parameters(file, kind,
                                      nutrient ? quality_series_names(chemistry)[series] : "");
}

std::string quality_parameters_problem(const quality::QcParametersFile& file,
                                       ChemistryChoice chemistry,
                                       std::span<const NetcdfInput> inputs) {
    for (const auto& in : inputs) {
        for (std::size_t s = 0; s < quality_series_names(chemistry).size(); ++s) {
            if (quality_parameters(file, chemistry, in, s) != nullptr) {
                continue;
            }
            const auto kind = quality_kind(chemistry, in);
            if (kind.empty()) {
                return in.path +
                       ": no nutrient type (KELPIRA.CHEMISTRY.TYPE) in the header, so no "
                       "parameters apply; set it with --set KELPIRA.CHEMISTRY.TYPE=N";
            }
            return "no parameters for " + std::string(kind) +
                   (quality_series_names(chemistry).size() > 1
                        ? " (" + std::string(quality_series_names(chemistry)[s]) + ")"
                        : "") +
                   ", the results of " + in.path;
        }
    }
    return {};
}

std::vector<std::string> result_cells(ChemistryChoice chemistry, const ResultRecord& record,
                                      std::string_view sensor_name) {
    const auto as_vector = [](const auto& cells) {
        return std::vector<std::string>(cells.begin(), cells.end());
    };
    switch (chemistry) {
        case ChemistryChoice::ph:
            return as_vector(ph_result_cells(std::get<PhResult>(record)));
        case ChemistryChoice::ta:
            return as_vector(ta_result_cells(std::get<TaResult>(record)));
        case ChemistryChoice::dic:
            return as_vector(dic_result_cells(std::get<DicResult>(record)));
        case ChemistryChoice::automatic:
        case ChemistryChoice::nutrient:
            break;
    }
    return as_vector(nutrient_multi_result_cells(std::get<NutrientResult>(record), sensor_name));
}

std::string quality_table_header_line(ChemistryChoice chemistry, bool corrected) {
    std::string line = table_header_line(chemistry, corrected);
    line.pop_back();
    for (const auto name : quality_series_names(chemistry)) {
        for (const auto test : kQualityTestNames) {
            line += ',';
            line += name;
            line += ' ';
            line += test;
        }
    }
    line += '\n';
    return line;
}

std::string quality_table_line(ChemistryChoice chemistry, const ResultRecord& record,
                               std::string_view sensor_name, std::optional<double> corrected,
                               std::span<const QualityFlags> flags) {
    auto cells = result_cells(chemistry, record, sensor_name);
    if (corrected) {
        cells = with_corrected_time(cells, chemistry, *corrected);
    }
    std::string line = csv_line(cells);
    line.pop_back();
    for (const auto& series : flags) {
        for (const auto f : series) {
            line += ',';
            line += static_cast<char>('0' + quality::flag_value(f));
        }
    }
    line += '\n';
    return line;
}

RunQuality flag_results(const quality::QcParametersFile& file, ChemistryChoice chemistry,
                        std::span<const NetcdfInput> inputs, std::span<const NetcdfRow> rows,
                        bool corrected) {
    const auto names = quality_series_names(chemistry);
    RunQuality out;
    QualityFlags not_flagged;
    not_flagged.fill(quality::Flag::not_evaluated);
    out.rows.assign(rows.size(), std::vector<QualityFlags>(names.size(), not_flagged));
    // (sensor, kind, series) -> the points of that series, in the order of the table.
    std::map<std::tuple<std::string, std::string, std::size_t>, std::vector<Point>> series;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const NetcdfInput& in = inputs[rows[r].input];
        auto cells = result_cells(chemistry, rows[r].record, in.sensor_name);
        double time = result_sensor_time(rows[r].record);
        if (corrected) {
            time = corrected_time(in.clock_records, time);
        }
        for (std::size_t s = 0; s < names.size(); ++s) {
            auto& cell = cells[quality_value_cell(chemistry, s)];
            series[{in.sensor_name, std::string(quality_kind(chemistry, in)), s}].push_back(
                {time, exported_value(cell), std::move(cell), r});
        }
    }
    for (auto& [key, points] : series) {
        const auto& [sensor, kind, s] = key;
        std::stable_sort(points.begin(), points.end(),
                         [](const Point& a, const Point& b) { return a.time < b.time; });
        std::vector<double> times;
        std::vector<double> values;
        std::vector<std::size_t> kept;  // index into `points` of each series record
        std::vector<std::size_t> twin(points.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            const Point& p = points[i];
            if (!kept.empty() && points[kept.back()].time == p.time) {
                const Point& first = points[kept.back()];
                if (first.cell == p.cell) {
                    twin[i] = kept.size() - 1;
                    continue;
                }
                out.warnings.push_back((sensor.empty() ? std::string("unnamed sensor") : sensor) +
                                       " " + std::string(names[s]) + ": two results at " +
                                       time_text(p.time) + " differ (" + first.cell + " and " +
                                       p.cell + "); the second is left out of the quality " +
                                       "control");
                twin[i] = points.size();  // not flagged
                if (std::isnan(p.value)) {
                    for (auto& f : out.rows[p.row][s]) {
                        f = quality::Flag::missing;
                    }
                }
                continue;
            }
            twin[i] = kept.size();
            kept.push_back(i);
            times.push_back(p.time);
            values.push_back(p.value);
        }
        const auto& in = inputs[rows[points.front().row].input];
        const auto* parameters = quality_parameters(file, chemistry, in, s);
        const auto flags = quality::flag_series(
            parameters != nullptr ? *parameters : quality::SeriesParameters{}, times, values);
        for (std::size_t i = 0; i < points.size(); ++i) {
            const std::size_t k = twin[i];
            if (k == points.size()) {
                continue;
            }
            out.rows[points[i].row][s] = {flags.gross_range[k], flags.spike[k],
                                          flags.rate_of_change[k], flags.flat_line[k],
                                          flags.aggregate[k]};
        }
    }
    return out;
}

}  // namespace kelpira::processing
