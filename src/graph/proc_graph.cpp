// The processed output graph's points, zoom stack and selection.
#include "graph/proc_graph.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <string>

#include "graph/proc_graph_axes.hpp"

namespace kelpira::graph {

namespace {

constexpr int kMinimumPlot = 35;
constexpr int kDragThreshold = 2;       // pixels a drag must exceed to count
constexpr int kSelectionDistance = 10;  // a click selects a point nearer than this
constexpr int kEndMark = 5;

// Sorts keys (time << 32 | arrival), given in arrival order, by time and then arrival: stable
// counting passes over 11 bits of the time each (a pass where every key falls in one bucket
// is skipped), linear where a comparison sort of a million keys takes several times longer.
void sort_by_time(std::vector<std::uint64_t>& keys) {
    constexpr int kBits = 11;
    constexpr std::uint64_t kMask = (std::uint64_t{1} << kBits) - 1;
    std::vector<std::uint64_t> scratch(keys.size());
    std::vector<std::size_t> start(kMask + 2);
    for (int shift = 32; shift < 64; shift += kBits) {
        std::fill(start.begin(), start.end(), 0);
        for (const std::uint64_t key : keys) {
            ++start[((key >> shift) & kMask) + 1];
        }
        if (std::find(start.begin(), start.end(), keys.size()) != start.end()) {
            continue;
        }
        std::partial_sum(start.begin(), start.end(), start.begin());
        for (const std::uint64_t key : keys) {
            scratch[start[(key >> shift) & kMask]++] = key;
        }
        keys.swap(scratch);
    }
}

}  // namespace

ProcGraphLayout proc_graph_layout(const Rect& c) {
    ProcGraphLayout g;
    g.client = c;
    g.plot_left = c.left + 40;
    g.plot_right = c.right - 40;
    g.plot_top = c.top + 40;
    g.plot_bottom = c.bottom - 40;
    g.x_axis = c.bottom - 35;
    g.y_axis = c.left + 35;
    g.w = g.plot_right - g.plot_left + 1;
    g.h = g.plot_bottom - g.plot_top + 1;
    g.too_small =
        g.plot_right - g.plot_left < kMinimumPlot || g.plot_bottom - g.plot_top < kMinimumPlot;
    return g;
}

Point clamp_to_plot(Point p, const ProcGraphLayout& g) {
    return {std::clamp(p.x, g.plot_left, std::max(g.plot_left, g.plot_right)),
            std::clamp(p.y, g.plot_top, std::max(g.plot_top, g.plot_bottom))};
}

std::vector<Line> drag_indicator(Point start, Point current) {
    const int dx = current.x - start.x;
    const int dy = current.y - start.y;
    if (std::abs(dx) <= kDragThreshold && std::abs(dy) <= kDragThreshold) {
        return {};
    }
    if (std::abs(dy) < std::abs(dx)) {
        const Point end{current.x, start.y};
        return {{start, end, views::kWhite, 1},
                {{start.x, start.y - kEndMark}, {start.x, start.y + kEndMark}, views::kWhite, 1},
                {{end.x, end.y - kEndMark}, {end.x, end.y + kEndMark}, views::kWhite, 1}};
    }
    const Point end{start.x, current.y};
    return {{start, end, views::kWhite, 1},
            {{start.x - kEndMark, start.y}, {start.x + kEndMark, start.y}, views::kWhite, 1},
            {{end.x - kEndMark, end.y}, {end.x + kEndMark, end.y}, views::kWhite, 1}};
}

bool ProcGraph::add_point(std::uint32_t time, double value, quality::Flag flag) {
    // A failed measurement can carry NaN or infinity: it has no place on a value axis.
    const bool kept = points_.size() < kMaxPoints && std::isfinite(value);
    if (point_of_result_.size() < kMaxPoints) {
        point_of_result_.push_back(kept ? static_cast<std::uint32_t>(points_.size()) : kNoPoint);
    }
    if (!kept) {
        return false;
    }
    const auto index = static_cast<std::uint32_t>(points_.size());
    // Records come in time order as a rule, so the time index grows at its end; a point out
    // of order waits, with every point after it, until the index is next read.
    if (in_order_ == by_time_.size() &&
        (by_time_.empty() || points_[by_time_.back()].time <= time)) {
        ++in_order_;
    }
    points_.push_back(GraphPoint{time, value, 0, 0, flag});
    by_time_.push_back(index);

    Viewport& full = zoom_[0];
    if (index == 0) {
        full.t_min = full.t_max = time;
    }
    // A hidden failed point neither stretches the full extent nor a zoom that follows.
    const bool counts = shown(points_.back());
    if (counts) {
        count_value(value);
    }
    Viewport& cur = zoom_[static_cast<std::size_t>(level_)];
    if (level_ >= 1 && cur.t_max == full.t_max) {
        if (time > full.t_max) {
            if (cur.t_min == full.t_min) {
                cur.t_max = time;
            } else {
                const std::uint32_t shift = time - full.t_max;
                cur.t_min += shift;
                cur.t_max += shift;
            }
        }
        if (counts) {
            cur.v_min = std::min(cur.v_min, value);
            cur.v_max = std::max(cur.v_max, value);
        }
    }
    full.t_min = std::min(full.t_min, time);
    full.t_max = std::max(full.t_max, time);
    fit_full_values();
    return true;
}

void ProcGraph::set_flag(std::size_t result, quality::Flag flag) {
    if (result >= point_of_result_.size() || point_of_result_[result] == kNoPoint) {
        return;
    }
    GraphPoint& p = points_[point_of_result_[result]];
    const bool counted = shown(p);
    p.flag = flag;
    if (shown(p) && !counted) {
        count_value(p.value);
        fit_full_values();
    } else if (counted && !shown(p)) {
        // Only the loss of an end of the range needs the points counted again.
        if (p.value == data_min_ || p.value == data_max_) {
            recount_values();
        }
        if (selected_ == point_of_result_[result]) {
            selected_.reset();
        }
    }
}

void ProcGraph::set_hide_failed(bool hide) {
    if (hide == hide_failed_) {
        return;
    }
    hide_failed_ = hide;
    if (selected_ && !shown(points_[*selected_])) {
        selected_.reset();
    }
    recount_values();
}

void ProcGraph::count_value(double value) {
    data_min_ = counted_ ? std::min(data_min_, value) : value;
    data_max_ = counted_ ? std::max(data_max_, value) : value;
    counted_ = true;
}

void ProcGraph::recount_values() {
    counted_ = false;
    data_min_ = data_max_ = 0;
    for (const GraphPoint& p : points_) {
        if (shown(p)) {
            count_value(p.value);
        }
    }
    fit_full_values();
}

void ProcGraph::fit_full_values() {
    zoom_[0].v_min = counted_ ? std::min(base_min_, data_min_) : base_min_;
    zoom_[0].v_max = counted_ ? std::max(base_max_, data_max_) : base_max_;
}

void ProcGraph::clear() {
    points_.clear();
    by_time_.clear();
    in_order_ = 0;
    point_of_result_.clear();
    zoom_ = {};
    level_ = 0;
    data_min_ = data_max_ = 0;
    counted_ = false;
    base_min_ = base_max_ = 0;
    selected_.reset();
    if (chemistry_) {
        set_chemistry(*chemistry_);
    }
}

void ProcGraph::set_chemistry(records::ChemistryType chemistry) {
    chemistry_ = chemistry;
    const auto axis = chemistry_axis(chemistry);
    if (!axis) {
        return;
    }
    // Before any point counts, the overall data range is 0 to 0, and the full extent takes it in.
    base_min_ = counted_ ? axis->low : std::min(axis->low, 0.0);
    base_max_ = counted_ ? axis->high : std::max(axis->high, 0.0);
    fit_full_values();
}

bool ProcGraph::zoom_out() {
    if (level_ < 1) {
        return false;
    }
    --level_;
    return true;
}

void ProcGraph::reset() {
    level_ = 0;
    selected_.reset();
}

bool ProcGraph::end_drag(Point start, Point end, const ProcGraphLayout& g,
                         common::Prompter& prompter) {
    const int x_lo = std::min(start.x, end.x), x_hi = std::max(start.x, end.x);
    const int y_lo = std::min(start.y, end.y), y_hi = std::max(start.y, end.y);
    if (x_hi - x_lo <= kDragThreshold && y_hi - y_lo <= kDragThreshold) {
        return false;
    }
    if (level_ >= kMaxZoom) {
        prompter.message("Max zoom", "Max zoom number exceeded (" + std::to_string(kMaxZoom) + ")");
        return false;
    }
    const Viewport p = current();
    Viewport next = p;
    if (x_hi - x_lo > y_hi - y_lo) {
        const double span = p.t_max - p.t_min;
        next.t_min = p.t_min + static_cast<std::uint32_t>(
                                   std::trunc(double(x_lo - g.plot_left) / g.w * span));
        next.t_max = p.t_max - static_cast<std::uint32_t>(
                                   std::trunc(double(g.plot_right - x_hi) / g.w * span));
    } else {
        const double span = p.v_max - p.v_min;
        if (!std::isfinite(span)) {
            return false;  // a range wider than a double holds has no scale to zoom in
        }
        next.v_max = p.v_max - double(y_lo - g.plot_top) / g.h * span;
        next.v_min = p.v_min + double(g.plot_bottom - y_hi) / g.h * span;
    }
    ++level_;
    zoom_[static_cast<std::size_t>(level_)] = next;
    return true;
}

void ProcGraph::order_by_time() {
    if (in_order_ == by_time_.size()) {
        return;
    }
    // The waiting points by time then arrival, merged behind the points of the same time
    // already in order.
    const auto tail = by_time_.begin() + static_cast<std::ptrdiff_t>(in_order_);
    std::vector<std::uint64_t> keys;
    keys.reserve(by_time_.size() - in_order_);
    for (auto it = tail; it != by_time_.end(); ++it) {
        keys.push_back(std::uint64_t{points_[*it].time} << 32 | *it);
    }
    sort_by_time(keys);
    std::transform(keys.begin(), keys.end(), tail,
                   [](std::uint64_t key) { return static_cast<std::uint32_t>(key); });
    std::inplace_merge(
        by_time_.begin(), tail, by_time_.end(),
        [this](std::uint32_t a, std::uint32_t b) { return points_[a].time < points_[b].time; });
    in_order_ = by_time_.size();
}

void ProcGraph::click(Point at) {
    order_by_time();
    selected_.reset();
    const Viewport& v = current();
    const auto [first, last] = time_range(v);
    long long best = static_cast<long long>(kSelectionDistance) * kSelectionDistance;
    for (std::size_t k = first; k < last; ++k) {
        const std::uint32_t i = by_time_[k];
        const GraphPoint& p = points_[i];
        if (!inside(p, v) || !shown(p)) {
            continue;
        }
        const long long dx = p.px - at.x, dy = p.py - at.y;
        const long long d = dx * dx + dy * dy;
        if (d < best || (d == best && selected_ && i < *selected_)) {
            best = d;
            selected_ = i;
        }
    }
}

bool ProcGraph::inside(const GraphPoint& p, const Viewport& v) const {
    return p.time >= v.t_min && p.time <= v.t_max && p.value >= v.v_min && p.value <= v.v_max;
}

std::pair<std::size_t, std::size_t> ProcGraph::time_range(const Viewport& v) const {
    const auto first =
        std::lower_bound(by_time_.begin(), by_time_.end(), v.t_min,
                         [this](std::uint32_t i, std::uint32_t t) { return points_[i].time < t; });
    const auto last =
        std::upper_bound(first, by_time_.end(), v.t_max,
                         [this](std::uint32_t t, std::uint32_t i) { return t < points_[i].time; });
    return {static_cast<std::size_t>(first - by_time_.begin()),
            static_cast<std::size_t>(last - by_time_.begin())};
}

}  // namespace kelpira::graph
