// The parameters of the quality tests for one series; a test that is absent is not run and
// flags every record 2. The defaults are those a parameters file takes for an absent member.
#pragma once

#include <optional>

namespace kelpira::quality {

struct Span {
    double min = 0;
    double max = 0;
};

struct GrossRangeTest {
    Span sensor_span;
    std::optional<Span> user_span;  // inside the sensor span
};

struct SpikeTest {
    double suspect_threshold = 0;  // <= fail_threshold, in the variable's units
    double fail_threshold = 0;
};

struct RateOfChangeTest {
    double n_dev = 3;
    double tim_dev_s = 90000;  // the window before each record: 25 h
    double floor = 0;          // added to n_dev x SD, in the variable's units
    int min_count = 3;         // fewer values in the window: not evaluated
};

struct FlatLineTest {
    int suspect_run = 3;  // consecutive values, the current one included
    int fail_run = 5;
    double eps = 0;  // values within eps of the current one count as repeats
    std::optional<double> skip_at_or_below;  // the detection limit: such values are not tested
};

struct SeriesParameters {
    std::optional<double> max_gap_s;  // none: neighbours may be any distance apart
    std::optional<GrossRangeTest> gross_range;
    std::optional<SpikeTest> spike;
    std::optional<RateOfChangeTest> rate_of_change;
    std::optional<FlatLineTest> flat_line;
};

}  // namespace kelpira::quality
