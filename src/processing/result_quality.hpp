// Quality flags of processed results: the results of a run gathered into series (one per
// sensor, nutrient kind and channel, or per sensor for pH, TA and DIC), each put in time order
// and flagged, and the flags handed back per result in the order of the table.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "processing/batch_options.hpp"
#include "processing/netcdf_input.hpp"
#include "quality/qc_parameters_file.hpp"
#include "quality/quality_flag.hpp"

namespace kelpira::processing {

// The four tests and the aggregate, in the order of the columns and variables.
inline constexpr std::array<std::string_view, 5> kQualityTestNames{
    "gross_range", "spike", "rate_of_change", "flat_line", "aggregate"};
using QualityFlags = std::array<quality::Flag, 5>;

// The series of one result: "Medium", "Short", "Long" for nutrients, else "pH", "TA", "DIC".
std::span<const std::string_view> quality_series_names(ChemistryChoice chemistry);

// The kind a parameters file names for the results of `input`: the nutrient ("nitrate", ...;
// empty for a nutrient file without a known type), or "pH", "TA", "DIC".
std::string_view quality_kind(ChemistryChoice chemistry, const NetcdfInput& input);

// The index of the cell of series `series` among the result table's cells (before the
// corrected time is inserted).
std::size_t quality_value_cell(ChemistryChoice chemistry, std::size_t series);

// The parameters of series `series` of `input`'s results; none when the file has none.
const quality::SeriesParameters* quality_parameters(const quality::QcParametersFile& file,
                                                    ChemistryChoice chemistry,
                                                    const NetcdfInput& input, std::size_t series);

// Why the parameters file cannot flag the results of `inputs` (a kind it has no parameters
// for, naming the first input of that kind); empty when it can.
std::string quality_parameters_problem(const quality::QcParametersFile& file,
                                       ChemistryChoice chemistry,
                                       std::span<const NetcdfInput> inputs);

struct RunQuality {
    // Per row, per series of the chemistry, the five flags.
    std::vector<std::vector<QualityFlags>> rows;
    // Results of one series that share a time but differ: told, and left out of the series
    // (flagged 2, or 9 where missing).
    std::vector<std::string> warnings;
};

// The flags of every row. Each value is taken as the table writes it (`cells`), the time as
// the sensor's clock, or corrected with the input's clock records when `corrected`. A result
// that repeats another exactly (overlapping files) takes its flags.
RunQuality flag_results(const quality::QcParametersFile& file, ChemistryChoice chemistry,
                        std::span<const NetcdfInput> inputs, std::span<const NetcdfRow> rows,
                        bool corrected);

// The table's title line with, after its own titles, five per series: "Medium gross_range",
// "Medium spike", "Medium rate_of_change", "Medium flat_line", "Medium aggregate", ...
std::string quality_table_header_line(ChemistryChoice chemistry, bool corrected);

// A result's table line, its corrected time after the time columns when there is one, and
// its flags after the table's own cells.
std::string quality_table_line(ChemistryChoice chemistry, const ResultRecord& record,
                               std::string_view sensor_name, std::optional<double> corrected,
                               std::span<const QualityFlags> flags);

// The cells of a result as the table writes them, without the corrected time.
std::vector<std::string> result_cells(ChemistryChoice chemistry, const ResultRecord& record,
                                      std::string_view sensor_name);

}  // namespace kelpira::processing
