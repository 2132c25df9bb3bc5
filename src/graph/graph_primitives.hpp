// What a graph picture is made of: filled rectangles, lines, column traces, filled circles and
// texts in boxes, in window pixels. The graph widgets paint these; the tests read them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "views/rgb.hpp"

namespace kelpira::graph {

inline constexpr views::Rgb kFrameGrey{100, 100, 100};

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

// A box in window pixels as the window system gives it: right and bottom lie one past the
// last column and row.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect&) const = default;
};

// A rectangle outlined with a pen of `pen_width` and filled with `fill`.
struct FilledRect {
    Rect box;
    views::Rgb pen;
    int pen_width = 1;
    views::Rgb fill;
};

struct Line {
    Point from, to;
    views::Rgb colour;
    int width = 1;
    bool operator==(const Line&) const = default;
};

// Lines joining consecutive columns: from (x0 + i - 1, ys[i - 1]) to (x0 + i, ys[i]) for
// every i >= 1. One trace holds a whole channel, so a picture does not carry thousands of
// separate lines.
struct ColumnTrace {
    int x0 = 0;
    std::vector<int> ys;
    views::Rgb colour;
    int width = 1;
};

// A filled circle of `radius` pixels around `centre`, with a 1-pixel outline when one is given.
struct Dot {
    Point centre;
    int radius = 2;
    views::Rgb fill;
    std::optional<views::Rgb> outline;
    bool operator==(const Dot&) const = default;
};

enum class Align { left, centre, right };

// A text in white, vertically centred in its box and aligned horizontally as given; text
// that does not fit is already cut by whoever built the picture.
struct Text {
    std::string text;
    Rect box;
    Align align = Align::centre;
    bool operator==(const Text&) const = default;
};

// A whole picture, painted in this order: background, frames, traces, lines, dots, texts.
struct Picture {
    views::Rgb background;
    // False when the window is too small for a plot: only the background is painted, and
    // the window keeps what it showed.
    bool plotted = false;
    std::vector<FilledRect> frames;
    std::vector<ColumnTrace> traces;
    std::vector<Line> lines;
    std::vector<Dot> dots;
    std::vector<Text> texts;
};

// Width in pixels of a text in the graphs' font; the widget measures with its own font.
using TextMeasure = std::function<int(std::string_view)>;

// The font every graph text uses: "Arial", 15 pixels high, weight 500.
inline constexpr std::string_view kGraphFontFamily = "Arial";
inline constexpr int kGraphFontPixels = 15;
inline constexpr int kGraphFontWeight = 500;

}  // namespace kelpira::graph
