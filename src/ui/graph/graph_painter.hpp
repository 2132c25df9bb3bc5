// Paints a graph picture into an off-screen image: frames, lines and texts with QPainter,
// column traces and dots straight into the pixels, which keeps a full redraw of thousands
// of segments within a few milliseconds.
#pragma once

#include <QFont>
#include <QImage>

#include "graph/graph_primitives.hpp"

namespace kelpira::ui {

// "Arial", 15 pixels high, weight 500 (the closest Qt weight to it).
QFont graph_font();

// The graph font's text widths, for the core's pictures.
graph::TextMeasure graph_text_measure();

// Paints `picture` over the whole of `image`, which must be Format_RGB32.
void paint_picture(QImage& image, const graph::Picture& picture, const QFont& font);

// The line segments of a trace as QPainter lines, one drawLine per segment: the plain way,
// kept to measure paint_picture() against.
void paint_trace_with_lines(QImage& image, const graph::ColumnTrace& trace);

}  // namespace kelpira::ui
