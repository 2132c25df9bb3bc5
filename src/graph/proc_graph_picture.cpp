// Geometry of the processed output graph: frame, value and time labels, one dot per occupied
// pixel of the current viewport and point style (white; suspect hollow amber and failed red
// over them), the legend of the flagged styles, and the selected point with its time and
// value.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "common/time_text.hpp"
#include "graph/proc_graph.hpp"
#include "graph/proc_graph_axes.hpp"
#include "views/live_quality.hpp"

namespace kelpira::graph {

namespace {

constexpr int kTimeLabelSpacing = 100;  // pixels between time labels
constexpr int kDotRadius = 2;
constexpr int kFlagRadius = 3;      // flagged points stand out a little
constexpr int kLegendMargin = 8;    // from the window's right edge
constexpr int kLegendDotGap = 8;    // from a dot's centre to its name
constexpr int kLegendItemGap = 16;  // from one name to the next dot
constexpr int kCrossHalf = 5;
constexpr const char* kEllipsis = "...";

// Which pixels of the plot already hold a dot, so each is drawn once however many points
// fall on it.
class Occupancy {
  public:
    Occupancy(int width, int height)
        : width_(static_cast<std::size_t>(std::max(width, 0))),
          height_(static_cast<std::size_t>(std::max(height, 0))),
          bits_((width_ * height_ + 63) / 64) {}

    // True the first time a pixel is taken; never for one outside the plot.
    bool take(int x, int y) {
        if (x < 0 || y < 0 || static_cast<std::size_t>(x) >= width_ ||
            static_cast<std::size_t>(y) >= height_) {
            return false;
        }
        const std::size_t bit = static_cast<std::size_t>(y) * width_ + x;
        const std::uint64_t mask = std::uint64_t{1} << (bit % 64);
        std::uint64_t& word = bits_[bit / 64];
        const bool free = (word & mask) == 0;
        word |= mask;
        return free;
    }

  private:
    std::size_t width_;
    std::size_t height_;
    std::vector<std::uint64_t> bits_;
};

// The longest start of `text` that fits `width` pixels with an ellipsis after it, or the
// whole text when it fits as it is.
std::string elided(const std::string& text, int width, const TextMeasure& measure) {
    if (measure(text) <= width) {
        return text;
    }
    std::string cut = text;
    while (!cut.empty()) {
        cut.pop_back();
        if (measure(cut + kEllipsis) <= width) {
            break;
        }
    }
    return cut + kEllipsis;
}

std::string time_label(std::uint32_t time) {
    const auto f = common::utc_fields(time);
    char text[64];
    std::snprintf(text, sizeof text, "%02d/%02d %02d:%02d", f.day, f.month, f.hour, f.minute);
    return text;
}

std::string selection_text(const GraphPoint& p) {
    const auto f = common::utc_fields(p.time);
    char text[128];
    std::snprintf(text, sizeof text, "timestamp=%02d/%02d/%d %02d:%02d:%02d, value=%.2f", f.day,
                  f.month, f.year, f.hour, f.minute, f.second, p.value);
    return text;
}

void add_frame(Picture& pic, const ProcGraphLayout& g) {
    const Rect& c = g.client;
    pic.frames.push_back(
        {.box = c, .pen = kFrameGrey, .pen_width = 2, .fill = kProcGraphBackground});
    pic.lines.push_back({{c.left, c.bottom - 1}, {c.right, c.bottom - 1}, views::kWhite, 1});
    pic.lines.push_back({{g.y_axis, g.plot_bottom}, {g.y_axis, g.plot_top}, views::kWhite, 1});
    pic.lines.push_back({{g.plot_left, g.x_axis}, {g.plot_right, g.x_axis}, views::kWhite, 1});
}

void add_value_labels(Picture& pic, const ProcGraphLayout& g, const Viewport& v) {
    const double range = v.v_max - v.v_min;
    for (const auto& label : value_labels(v.v_min, v.v_max, g.h)) {
        const int y =
            g.plot_bottom - static_cast<int>(std::trunc((label.value - v.v_min) / range * g.h));
        pic.texts.push_back(
            {label.text, {g.client.left, y - 10, g.client.left + 30, y + 10}, Align::right});
    }
}

void add_time_labels(Picture& pic, const ProcGraphLayout& g, const Viewport& v) {
    const double span = v.t_max - v.t_min;
    for (int o = 0; o < g.w; o += kTimeLabelSpacing) {
        const auto time = v.t_min + static_cast<std::uint32_t>(std::trunc(double(o) / g.w * span));
        pic.texts.push_back(
            {time_label(time),
             {g.plot_left + o - 50, g.plot_bottom, g.plot_left + o + 50, g.client.bottom}});
    }
    pic.texts.push_back(
        {"time", {g.plot_right, g.plot_bottom - 8, g.client.right, g.plot_bottom + 15}});
}

// A suspect point: an amber ring on the background; a failed one: a red disc.
Dot flag_dot(Point at, quality::Flag flag) {
    if (flag == quality::Flag::suspect) {
        return {at, kFlagRadius, kProcGraphBackground, views::flag_rgb(flag)};
    }
    return {at, kFlagRadius, views::flag_rgb(flag), std::nullopt};
}

// At the top right: a dot of each flagged style and its name, ending by the window's edge.
void add_legend(Picture& pic, const ProcGraphLayout& g, bool hide_failed,
                const TextMeasure& measure) {
    const int y = g.client.top + 20;
    const std::string failed = hide_failed ? "Failed (hidden)" : "Failed";
    const int failed_right = g.client.right - kLegendMargin;
    const int failed_left = failed_right - measure(failed);
    const int failed_dot = failed_left - kLegendDotGap;
    const int suspect_right = failed_dot - kLegendItemGap;
    const int suspect_left = suspect_right - measure("Suspect");
    pic.dots.push_back(flag_dot({suspect_left - kLegendDotGap, y}, quality::Flag::suspect));
    pic.texts.push_back({"Suspect", {suspect_left, y - 10, suspect_right, y + 10}, Align::left});
    pic.dots.push_back(flag_dot({failed_dot, y}, quality::Flag::fail));
    pic.texts.push_back({failed, {failed_left, y - 10, failed_right, y + 10}, Align::left});
}

}  // namespace

Picture ProcGraph::redraw(const Rect& client, const TextMeasure& measure) {
    Picture pic;
    pic.background = kProcGraphBackground;
    const ProcGraphLayout g = proc_graph_layout(client);
    if (g.too_small) {
        return pic;
    }
    pic.plotted = true;
    const Viewport& v = current();
    add_frame(pic, g);
    add_value_labels(pic, g, v);
    if (chemistry_) {
        if (const auto axis = chemistry_axis(*chemistry_)) {
            const Rect box{client.left + 5, client.top, g.plot_left + 60, g.plot_top};
            pic.texts.push_back(
                {elided(std::string(axis->unit), box.right - box.left, measure), box, Align::left});
        }
    }
    add_time_labels(pic, g, v);

    // A viewport of one instant or one value, or of a value range wider than a double holds,
    // has no scale along that axis: its points go to the middle of the plot.
    const double range = std::isfinite(v.v_max - v.v_min) ? v.v_max - v.v_min : 0;
    const double span = v.t_max - v.t_min;
    Occupancy occupied(g.w + 1, g.h + 1);
    Occupancy suspect(g.w + 1, g.h + 1);
    Occupancy failed(g.w + 1, g.h + 1);
    std::vector<Dot> suspect_dots, failed_dots;  // drawn over the white ones
    bool selected_drawn = false;
    order_by_time();
    const auto [first, last] = time_range(v);
    pic.dots.reserve(last - first + 3);  // and the selected point and the legend
    for (std::size_t k = first; k < last; ++k) {
        const std::uint32_t i = by_time_[k];
        GraphPoint& p = points_[i];
        if (p.value < v.v_min || p.value > v.v_max || !shown(p)) {
            continue;
        }
        p.px = g.plot_left +
               (span > 0 ? static_cast<int>(std::trunc((p.time - v.t_min) / span * g.w)) : g.w / 2);
        p.py =
            g.plot_bottom -
            (range > 0 ? static_cast<int>(std::trunc((p.value - v.v_min) / range * g.h)) : g.h / 2);
        selected_drawn = selected_drawn || (selected_ && *selected_ == i);
        const int x = p.px - g.plot_left, y = g.plot_bottom - p.py;
        if (p.flag == quality::Flag::suspect) {
            if (suspect.take(x, y)) {
                suspect_dots.push_back(flag_dot({p.px, p.py}, p.flag));
            }
        } else if (p.flag == quality::Flag::fail) {
            if (failed.take(x, y)) {
                failed_dots.push_back(flag_dot({p.px, p.py}, p.flag));
            }
        } else if (occupied.take(x, y)) {
            pic.dots.push_back({{p.px, p.py}, kDotRadius, views::kWhite, std::nullopt});
        }
    }
    pic.dots.insert(pic.dots.end(), suspect_dots.begin(), suspect_dots.end());
    pic.dots.insert(pic.dots.end(), failed_dots.begin(), failed_dots.end());
    if (flagged_) {
        add_legend(pic, g, hide_failed_, measure);
    }

    if (selected_drawn) {
        const GraphPoint& p = points_[*selected_];
        pic.lines.push_back({{p.px - kCrossHalf, p.py - kCrossHalf},
                             {p.px + kCrossHalf, p.py + kCrossHalf},
                             views::kRed,
                             2});
        pic.lines.push_back({{p.px + kCrossHalf, p.py - kCrossHalf},
                             {p.px - kCrossHalf, p.py + kCrossHalf},
                             views::kRed,
                             2});
        pic.dots.push_back({{p.px, p.py}, kDotRadius, views::kWhite, views::kRed});
        pic.texts.push_back(
            {selection_text(p), {g.plot_left, client.top, g.plot_right, g.plot_top}});
    }
    return pic;
}

}  // namespace kelpira::graph
