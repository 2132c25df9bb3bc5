// The processed output graph's value axis: unit label and default range per chemistry, and
// the value labels with their step.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/chemistry_type.hpp"

namespace kelpira::graph {

struct ChemistryAxis {
    std::string_view unit;  // the label beside the value axis
    double low = 0;         // the default range
    double high = 0;
};

// The axis of a chemistry, or nothing for a code the table does not hold.
std::optional<ChemistryAxis> chemistry_axis(records::ChemistryType chemistry);

struct ValueLabel {
    double value = 0;
    std::string text;
};

// The labels of the value axis from `v_min` to `v_max` on a plot `plot_height` pixels high:
// a round step that leaves at least 35 pixels per label, from the first multiple of the step
// at or above v_min to the last at or below v_max. None when no step can be found.
std::vector<ValueLabel> value_labels(double v_min, double v_max, int plot_height);

// The step value_labels() uses; nothing when there is none (an empty range, a plot lower
// than 70 pixels).
std::optional<double> value_label_step(double v_min, double v_max, int plot_height);

}  // namespace kelpira::graph
