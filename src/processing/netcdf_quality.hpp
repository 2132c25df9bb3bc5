// The quality flag variables of a NetCDF results file: for each reported variable V,
// V_gross_range_test_quality_flag, V_spike_test_quality_flag, V_rate_of_change_test_quality_flag,
// V_flat_line_test_quality_flag and V_aggregate_quality_flag (CF flag variables of bytes, the
// parameters used as attributes), named in V's ancillary_variables.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "processing/result_quality.hpp"
#include "quality/qc_parameters.hpp"

namespace kelpira::processing {

// A reported variable to flag, and the parameters its flags were made with (none: every test
// was left out).
struct QualityTarget {
    int data_id = -1;
    std::string data_name;
    const quality::SeriesParameters* parameters = nullptr;
};

struct QualityVariables {
    std::vector<int> ids;                          // five per target
    std::vector<std::vector<signed char>> values;  // per variable, the rows not written yet
};

// Defines the variables along dimension `obs` (in define mode). False, with `error` set, when
// the library refuses.
bool define_quality_variables(int ncid, int obs, std::span<const QualityTarget> targets,
                              QualityVariables& variables, std::string& error);

// Holds one row's flags (one QualityFlags per target) until the next write.
void add_quality_flags(QualityVariables& variables, std::span<const QualityFlags> flags);

// Writes the rows held at row `start` on and lets them go.
bool write_quality_flags(int ncid, std::size_t start, QualityVariables& variables,
                         std::string& error);

}  // namespace kelpira::processing
