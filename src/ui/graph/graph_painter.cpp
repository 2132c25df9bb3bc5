// Painting of graph pictures into RGB32 images.
#include "ui/graph/graph_painter.hpp"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace kelpira::ui {

namespace {

QColor colour_of(app::Rgb c) {
    return QColor(c.r, c.g, c.b);
}

QRgb pixel_of(app::Rgb c) {
    return qRgb(c.r, c.g, c.b);
}

QPen pen_of(app::Rgb c, int width) {
    // Width 0 is Qt's one-pixel cosmetic pen, the fastest there is.
    return QPen(colour_of(c), width <= 1 ? 0 : width, Qt::SolidLine, Qt::FlatCap);
}

// Direct access to the pixels of an RGB32 image, clipped to it.
class Pixels {
  public:
    explicit Pixels(QImage& image)
        : bits_(image.bits()),
          stride_(image.bytesPerLine()),
          width_(image.width()),
          height_(image.height()) {}

    // Columns x0..x1 of row y.
    void span(int y, int x0, int x1, QRgb colour) {
        if (y < 0 || y >= height_) {
            return;
        }
        x0 = std::max(x0, 0);
        x1 = std::min(x1, width_ - 1);
        auto* row = reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * stride_);
        for (int x = x0; x <= x1; ++x) {
            row[x] = colour;
        }
    }

    // Rows y0..y1 of columns x..x + w - 1.
    void column(int x, int w, int y0, int y1, QRgb colour) {
        y0 = std::max(y0, 0);
        y1 = std::min(y1, height_ - 1);
        for (int y = y0; y <= y1; ++y) {
            span(y, x, x + w - 1, colour);
        }
    }

  private:
    uchar* bits_;
    qsizetype stride_;
    int width_, height_;
};

// Each segment joins two neighbouring columns: the half of its rise nearer the left end goes
// in the left column, the rest in the right one, as a line drawn pixel by pixel would. A
// wider pen thickens each run to the right and downwards.
void draw_trace(Pixels& px, const app::ColumnTrace& trace) {
    const QRgb colour = pixel_of(trace.colour);
    const int w = std::max(trace.width, 1);
    for (std::size_t i = 1; i < trace.ys.size(); ++i) {
        const int x = trace.x0 + static_cast<int>(i);
        const int a = trace.ys[i - 1];
        const int b = trace.ys[i];
        const int mid = (a + b) / 2;
        if (a <= b) {
            px.column(x - 1, w, a, mid + w - 1, colour);
            px.column(x, w, std::min(mid + 1, b), b + w - 1, colour);
        } else {
            px.column(x - 1, w, mid + 1, a + w - 1, colour);
            px.column(x, w, b, mid + w - 1, colour);
        }
    }
}

// Half the width of each row of a circle, from its top row down.
std::vector<int> circle_rows(int radius) {
    std::vector<int> halves;
    for (int dy = -radius; dy <= radius; ++dy) {
        halves.push_back(static_cast<int>(std::sqrt(radius * radius + radius - dy * dy)));
    }
    return halves;
}

void stamp_circle(Pixels& px, app::Point c, const std::vector<int>& halves, QRgb colour) {
    const int radius = static_cast<int>(halves.size() / 2);
    for (int row = 0; row < static_cast<int>(halves.size()); ++row) {
        const int half = halves[static_cast<std::size_t>(row)];
        px.span(c.y - radius + row, c.x - half, c.x + half, colour);
    }
}

void draw_dots(Pixels& px, const std::vector<app::Dot>& dots) {
    // Dots come in a handful of sizes: each shape is worked out once per picture.
    std::vector<std::vector<int>> shapes;
    const auto shape = [&shapes](int radius) -> const std::vector<int>& {
        const auto r = static_cast<std::size_t>(std::max(radius, 0));
        if (shapes.size() <= r) {
            shapes.resize(r + 1);
        }
        if (shapes[r].empty()) {
            shapes[r] = circle_rows(static_cast<int>(r));
        }
        return shapes[r];
    };
    for (const auto& dot : dots) {
        if (dot.outline) {
            stamp_circle(px, dot.centre, shape(dot.radius), pixel_of(*dot.outline));
            stamp_circle(px, dot.centre, shape(dot.radius - 1), pixel_of(dot.fill));
        } else {
            stamp_circle(px, dot.centre, shape(dot.radius), pixel_of(dot.fill));
        }
    }
}

QRect rect_of(const app::Rect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

Qt::Alignment alignment_of(app::Align a) {
    switch (a) {
        case app::Align::left:
            return Qt::AlignLeft;
        case app::Align::right:
            return Qt::AlignRight;
        case app::Align::centre:
            break;
    }
    return Qt::AlignHCenter;
}

}  // namespace

QFont graph_font() {
    QFont font(QString::fromUtf8(app::kGraphFontFamily.data(), app::kGraphFontFamily.size()));
    font.setPixelSize(app::kGraphFontPixels);
    font.setWeight(QFont::Medium);
    return font;
}

app::TextMeasure graph_text_measure() {
    return [metrics = QFontMetrics(graph_font())](std::string_view text) {
        return metrics.horizontalAdvance(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    };
}

void paint_picture(QImage& image, const app::Picture& picture, const QFont& font) {
    // The frame fills the client area itself; the background is filled only where the image
    // reaches beyond it, so no pixel is written twice.
    if (!picture.plotted || picture.frames.empty() ||
        !rect_of(picture.frames.front().box).contains(image.rect())) {
        image.fill(colour_of(picture.background));
    }
    if (!picture.plotted) {
        return;
    }
    {
        QPainter painter(&image);
        for (const auto& frame : picture.frames) {
            const QRect box = rect_of(frame.box);
            painter.fillRect(box, colour_of(frame.fill));
            painter.setPen(pen_of(frame.pen, frame.pen_width));
            const int inset = frame.pen_width / 2;
            painter.drawRect(box.adjusted(inset, inset, -frame.pen_width, -frame.pen_width));
        }
    }
    Pixels pixels(image);
    for (const auto& trace : picture.traces) {
        draw_trace(pixels, trace);
    }
    {
        QPainter painter(&image);
        for (const auto& line : picture.lines) {
            painter.setPen(pen_of(line.colour, line.width));
            painter.drawLine(line.from.x, line.from.y, line.to.x, line.to.y);
        }
    }
    Pixels after_lines(image);
    draw_dots(after_lines, picture.dots);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::white);
    for (const auto& text : picture.texts) {
        painter.drawText(rect_of(text.box),
                         alignment_of(text.align) | Qt::AlignVCenter | Qt::TextSingleLine,
                         QString::fromUtf8(text.text));
    }
}

void paint_trace_with_lines(QImage& image, const app::ColumnTrace& trace) {
    QPainter painter(&image);
    painter.setPen(pen_of(trace.colour, trace.width));
    for (std::size_t i = 1; i < trace.ys.size(); ++i) {
        const int x = trace.x0 + static_cast<int>(i);
        painter.drawLine(x - 1, trace.ys[i - 1], x, trace.ys[i]);
    }
}

}  // namespace kelpira::ui
