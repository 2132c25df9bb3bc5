// The processed output graph's state: the points read from the sensor's output store, the
// zoom stack, the selected point, and what a click, a drag or the right button does to them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/prompter.hpp"
#include "graph/graph_primitives.hpp"
#include "quality/quality_flag.hpp"
#include "records/chemistry_type.hpp"

namespace kelpira::graph {

inline constexpr views::Rgb kProcGraphBackground{130, 130, 200};

struct GraphPoint {
    std::uint32_t time = 0;  // seconds since 1970-01-01 UTC
    double value = 0;
    // Where the point was last drawn; kept when it falls outside a later viewport.
    int px = 0, py = 0;
    // The result's aggregate quality flag: suspect points are drawn hollow amber, failed
    // ones red, the others white.
    quality::Flag flag = quality::Flag::not_evaluated;
};

struct Viewport {
    std::uint32_t t_min = 0, t_max = 0;
    double v_min = 0, v_max = 0;
    bool operator==(const Viewport&) const = default;
};

// The plot inside a client rectangle (right and bottom limited to the screen size minus 1).
struct ProcGraphLayout {
    Rect client;
    int plot_left = 0, plot_right = 0, plot_top = 0, plot_bottom = 0;
    int x_axis = 0, y_axis = 0;
    int w = 0, h = 0;  // plot width and height in pixels
    bool too_small = true;
};

ProcGraphLayout proc_graph_layout(const Rect& client);

// The point clamped into the plot area.
Point clamp_to_plot(Point p, const ProcGraphLayout& layout);

// The white line showing a drag in progress, along its longer axis, with end marks; nothing
// until the drag has moved more than 2 pixels in x or y.
std::vector<Line> drag_indicator(Point start, Point current);

// Used on the UI thread only.
class ProcGraph {
  public:
    // Every record a sensor holds fits; further points are not kept.
    static constexpr std::size_t kMaxPoints = 1'000'000;
    static constexpr int kMaxZoom = 10;

    // Adds a point; a zoom whose time window ends at the newest time follows it. False when
    // the point was not kept: the store is full, or the value is not finite (NaN or infinity
    // is not drawn; the text view still lists it).
    // Each call is one result, counted from 0, whose flag set_flag() may change later.
    bool add_point(std::uint32_t time, double value,
                   quality::Flag flag = quality::Flag::not_evaluated);
    // A later flag of a result (its point's, if it was kept).
    void set_flag(std::size_t result, quality::Flag flag);
    // Whether the results are flagged: the picture then carries the legend.
    void set_flagged(bool flagged) { flagged_ = flagged; }
    // "Hide Failed Points": failed points are neither drawn nor selectable while hidden, and
    // do not count in the overall data range nor in the full extent's value range.
    void set_hide_failed(bool hide);
    bool hide_failed() const { return hide_failed_; }
    // Forgets every point, the zoom and the selection, keeping the chemistry and the choices
    // above; for the results read anew.
    void clear();

    // The view's chemistry: its unit label and, for a chemistry the axis table holds, the
    // full extent's value range (the default range widened to every point's value).
    void set_chemistry(records::ChemistryType chemistry);

    // Right button: one zoom level back. False at level 0, where nothing changes.
    bool zoom_out();
    // "Reset Graph": the full extent, no selected point.
    void reset();

    // The left button was released after a drag from `start` to `end` (both already clamped
    // to the plot). Zooms in time for a mostly horizontal drag, else in value; a drag of 2
    // pixels or less in both directions does nothing; past the tenth zoom the user is told;
    // a value range too wide for a double has no scale to zoom in. True when the zoom changed.
    bool end_drag(Point start, Point end, const ProcGraphLayout& layout,
                  common::Prompter& prompter);

    // A click: selects the drawn point of the current viewport nearest to `at`, if it lies
    // less than 10 pixels away; otherwise no point is selected.
    void click(Point at);

    // Draws the current viewport, remembering where each point went.
    Picture redraw(const Rect& client, const TextMeasure& measure);

    int zoom_level() const { return level_; }
    const Viewport& viewport(int level) const { return zoom_[static_cast<std::size_t>(level)]; }
    const Viewport& current() const { return viewport(level_); }
    const std::vector<GraphPoint>& points() const { return points_; }
    std::optional<std::size_t> selected() const { return selected_; }
    // The smallest and largest value of the points that count (all but hidden failed ones);
    // both 0 while none counts.
    double data_min() const { return data_min_; }
    double data_max() const { return data_max_; }

  private:
    bool inside(const GraphPoint& p, const Viewport& v) const;
    bool shown(const GraphPoint& p) const {
        return !(hide_failed_ && p.flag == quality::Flag::fail);
    }
    // Widens the overall data range to `value`.
    void count_value(double value);
    // The overall data range counted again over the points shown; for a point that stopped
    // counting.
    void recount_values();
    // The full extent's value range: the chemistry's range widened to the overall data range.
    void fit_full_values();
    // Puts the points that came out of time order into the time index.
    void order_by_time();
    // Positions in the time index of the points whose time lies in [t_min, t_max]; the index
    // is in order.
    std::pair<std::size_t, std::size_t> time_range(const Viewport& v) const;

    std::vector<GraphPoint> points_;      // in arrival order, each stored once
    std::vector<std::uint32_t> by_time_;  // indices into points_, by time, then arrival
    std::size_t in_order_ = 0;            // how many of by_time_ are in that order
    std::array<Viewport, kMaxZoom + 1> zoom_{};
    int level_ = 0;
    double data_min_ = 0, data_max_ = 0;
    bool counted_ = false;  // whether some point counts in data_min_, data_max_
    // The full extent's value range before any point widens it: the chemistry's default range
    // (taking in 0 when it was set while no point counted), or 0 without a chemistry.
    double base_min_ = 0, base_max_ = 0;
    std::optional<records::ChemistryType> chemistry_;
    std::optional<std::size_t> selected_;
    // By result: its point, or kNoPoint for a result not kept.
    static constexpr std::uint32_t kNoPoint = 0xFFFFFFFF;
    std::vector<std::uint32_t> point_of_result_;
    bool flagged_ = false;
    bool hide_failed_ = false;
};

}  // namespace kelpira::graph
