// The processed output graph's points, zoom stack and selection.
#include "graph/proc_graph.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "graph/proc_graph_axes.hpp"

namespace kelpira::app {

namespace {

constexpr int kMinimumPlot = 35;
constexpr int kDragThreshold = 2;       // pixels a drag must exceed to count
constexpr int kSelectionDistance = 10;  // a click selects a point nearer than this
constexpr int kEndMark = 5;

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
        return {{start, end, kWhite, 1},
                {{start.x, start.y - kEndMark}, {start.x, start.y + kEndMark}, kWhite, 1},
                {{end.x, end.y - kEndMark}, {end.x, end.y + kEndMark}, kWhite, 1}};
    }
    const Point end{start.x, current.y};
    return {{start, end, kWhite, 1},
            {{start.x - kEndMark, start.y}, {start.x + kEndMark, start.y}, kWhite, 1},
            {{end.x - kEndMark, end.y}, {end.x + kEndMark, end.y}, kWhite, 1}};
}

bool ProcGraph::add_point(std::uint32_t time, double value) {
    if (points_.size() >= kMaxPoints) {
        return false;
    }
    const auto index = static_cast<std::uint32_t>(points_.size());
    points_.push_back(GraphPoint{time, value, 0, 0});
    // Records come in time order as a rule, so this is an append; an earlier time is slotted
    // in after the points of its own time.
    const auto later =
        std::upper_bound(by_time_.begin(), by_time_.end(), time,
                         [this](std::uint32_t t, std::uint32_t i) { return t < points_[i].time; });
    by_time_.insert(later, index);

    Viewport& full = zoom_[0];
    if (index == 0) {
        full.t_min = full.t_max = time;
        data_min_ = data_max_ = value;
    } else {
        data_min_ = std::min(data_min_, value);
        data_max_ = std::max(data_max_, value);
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
        cur.v_min = std::min(cur.v_min, value);
        cur.v_max = std::max(cur.v_max, value);
    }
    full.t_min = std::min(full.t_min, time);
    full.t_max = std::max(full.t_max, time);
    full.v_min = std::min(full.v_min, value);
    full.v_max = std::max(full.v_max, value);
    return true;
}

void ProcGraph::set_chemistry(config::ChemistryType chemistry) {
    chemistry_ = chemistry;
    const auto axis = chemistry_axis(chemistry);
    if (!axis) {
        return;
    }
    zoom_[0].v_min = std::min(axis->low, data_min_);
    zoom_[0].v_max = std::max(axis->high, data_max_);
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
        next.v_max = p.v_max - double(y_lo - g.plot_top) / g.h * span;
        next.v_min = p.v_min + double(g.plot_bottom - y_hi) / g.h * span;
    }
    ++level_;
    zoom_[static_cast<std::size_t>(level_)] = next;
    return true;
}

void ProcGraph::click(Point at) {
    selected_.reset();
    const Viewport& v = current();
    const auto [first, last] = time_range(v);
    long long best = static_cast<long long>(kSelectionDistance) * kSelectionDistance;
    for (std::size_t k = first; k < last; ++k) {
        const std::uint32_t i = by_time_[k];
        const GraphPoint& p = points_[i];
        if (!inside(p, v)) {
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

}  // namespace kelpira::app
