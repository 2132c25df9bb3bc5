// Per-chemistry value axes and the label step of the processed output graph.
#include "graph/proc_graph_axes.hpp"

#include <array>
#include <cmath>
#include <cstdio>

namespace kelpira::graph {

namespace {

constexpr int kPixelsPerLabel = 35;

constexpr std::array<ChemistryAxis, 10> kAxes{{
    {"value", 0, 100},
    {"Nitrate (uM)", 0, 500},
    {"Phosphate (uM)", 0, 5},
    {"Silicate (uM)", 0, 300},
    {"pH", 7.5, 8.5},
    {"Nitrite (uM)", 0, 500},
    {"Iron (uM)", 0, 500},
    {"TA (umol/kg)", 0, 500},
    {"DIC (umol/kg)", 0, 500},
    {"Ammonia (?\?\?)", 0, 5},  // the sensor's own label, question marks and all
}};

}  // namespace

std::optional<ChemistryAxis> chemistry_axis(records::ChemistryType chemistry) {
    const std::size_t code = records::code_of(chemistry);
    if (code >= kAxes.size()) {
        return std::nullopt;
    }
    return kAxes[code];
}

std::optional<double> value_label_step(double v_min, double v_max, int plot_height) {
    const double range = v_max - v_min;
    const int n = plot_height / kPixelsPerLabel - 1;
    if (n <= 0 || !(range > 0) || !std::isfinite(range)) {
        return std::nullopt;
    }
    const double s0 = range / n;
    const double m = std::pow(10.0, std::ceil(std::log10(s0) - 1));
    return std::ceil(s0 / m) * m;
}

std::vector<ValueLabel> value_labels(double v_min, double v_max, int plot_height) {
    std::vector<ValueLabel> labels;
    const auto step = value_label_step(v_min, v_max, plot_height);
    if (!step) {
        return labels;
    }
    const double s = *step;
    const double first = std::ceil(v_min / s) * s;
    const double last = std::floor(v_max / s) * s;
    const double count = std::floor((last - first) / s + 0.5) + 1;
    const char* pattern = last >= 100 ? "%.0f" : last >= 10 ? "%.1f" : "%.2f";
    double value = first;
    for (int i = 0; i < count; ++i) {
        char text[64];
        std::snprintf(text, sizeof text, pattern, value);
        labels.push_back({value, text});
        value += s;
    }
    return labels;
}

}  // namespace kelpira::graph
