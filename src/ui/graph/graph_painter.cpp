// Painting of graph pictures into RGB32 images.
#include "ui/graph/graph_painter.hpp"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>
#include <span>

namespace kelpira::ui {

namespace {

QColor colour_of(views::Rgb c) {
    return QColor(c.r, c.g, c.b);
}

QRgb pixel_of(views::Rgb c) {
    return qRgb(c.r, c.g, c.b);
}

QPen pen_of(views::Rgb c, int width) {
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
void draw_trace(Pixels& px, const graph::ColumnTrace& trace) {
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

void stamp_circle(Pixels& px, graph::Point c, const std::vector<int>& halves, QRgb colour) {
    const int radius = static_cast<int>(halves.size() / 2);
    for (int row = 0; row < static_cast<int>(halves.size()); ++row) {
        const int half = halves[static_cast<std::size_t>(row)];
        px.span(c.y - radius + row, c.x - half, c.x + half, colour);
    }
}

// One bit per pixel of the box from (left, top) to (right, bottom), a row of 64-bit words
// per pixel row.
class BitRows {
  public:
    BitRows(int left, int top, int right, int bottom)
        : left_(left),
          top_(top),
          rows_(bottom - top + 1),
          words_(static_cast<std::size_t>(right - left) / 64 + 1),
          bits_(static_cast<std::size_t>(rows_) * words_) {}

    void set(int x, int y) {
        const auto col = static_cast<std::size_t>(x - left_);
        line(y - top_)[col / 64] |= std::uint64_t{1} << (col % 64);
    }

    // Each set bit widened by `half` columns to either side.
    BitRows widened(int half) const {
        BitRows out = *this;
        for (int row = 0; row < rows_; ++row) {
            const std::uint64_t* in = line(row);
            std::uint64_t* to = out.line(row);
            for (std::size_t w = 0; w < words_; ++w) {
                const std::uint64_t before = w > 0 ? in[w - 1] : 0;
                const std::uint64_t after = w + 1 < words_ ? in[w + 1] : 0;
                for (int k = 1; k <= half; ++k) {
                    to[w] |= in[w] << k | before >> (64 - k) | in[w] >> k | after << (64 - k);
                }
            }
        }
        return out;
    }

    int left() const { return left_; }
    int top() const { return top_; }
    int rows() const { return rows_; }
    std::size_t words() const { return words_; }
    const std::uint64_t* line(int row) const {
        return bits_.data() + static_cast<std::size_t>(row) * words_;
    }
    std::uint64_t* line(int row) { return bits_.data() + static_cast<std::size_t>(row) * words_; }

  private:
    int left_, top_, rows_;
    std::size_t words_;
    std::vector<std::uint64_t> bits_;
};

// Dots of one size and colour paint the union of their circles: row y of that union is the
// rows of centres around it, each widened by its circle's half width there, so a pixel that
// several dots cover is written once.
void draw_dot_union(QImage& image, std::span<const graph::Dot> dots, const std::vector<int>& halves,
                    QRgb colour) {
    const int radius = static_cast<int>(halves.size() / 2);
    const int width = image.width(), height = image.height();
    // The box of the centres that reach into the image, with room to widen them.
    const auto reaches = [&](const graph::Dot& d) {
        return d.centre.x >= -radius && d.centre.x < width + radius && d.centre.y >= -radius &&
               d.centre.y < height + radius;
    };
    int left = width + radius, top = height + radius, right = -radius - 1, bottom = -radius - 1;
    for (const auto& dot : dots) {
        if (reaches(dot)) {
            left = std::min(left, dot.centre.x);
            right = std::max(right, dot.centre.x);
            top = std::min(top, dot.centre.y);
            bottom = std::max(bottom, dot.centre.y);
        }
    }
    if (right < left) {
        return;
    }
    BitRows centres(left - radius, top, right + radius, bottom);
    for (const auto& dot : dots) {
        if (reaches(dot)) {
            centres.set(dot.centre.x, dot.centre.y);
        }
    }
    std::vector<std::optional<BitRows>> by_half(static_cast<std::size_t>(radius) + 1);
    for (const int half : halves) {
        auto& rows = by_half[static_cast<std::size_t>(half)];
        if (!rows) {
            rows = centres.widened(half);
        }
    }
    std::vector<std::uint64_t> union_row(centres.words());
    for (int y = std::max(top - radius, 0); y <= std::min(bottom + radius, height - 1); ++y) {
        std::fill(union_row.begin(), union_row.end(), 0);
        for (int row = 0; row < static_cast<int>(halves.size()); ++row) {
            // A dot centred at cy covers row cy - radius + row of the image.
            const int centre_row = y + radius - row - centres.top();
            if (centre_row < 0 || centre_row >= centres.rows()) {
                continue;
            }
            const std::uint64_t* from =
                by_half[static_cast<std::size_t>(halves[static_cast<std::size_t>(row)])]->line(
                    centre_row);
            for (std::size_t w = 0; w < union_row.size(); ++w) {
                union_row[w] |= from[w];
            }
        }
        auto* pixels = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (std::size_t w = 0; w < union_row.size(); ++w) {
            // Each run of set bits is one span of pixels.
            for (std::uint64_t bits = union_row[w]; bits != 0; bits &= bits + (bits & -bits)) {
                const int start = std::countr_zero(bits);
                const int x = centres.left() + static_cast<int>(w * 64) + start;
                const int from = std::max(x, 0);
                const int to = std::min(x + std::countr_one(bits >> start), width);
                std::fill(pixels + from, pixels + std::max(to, from), colour);
            }
        }
    }
}

// Below this many dots in a row of one kind, stamping each is cheaper than their union.
constexpr std::size_t kUnionDots = 256;

void draw_dots(QImage& image, const std::vector<graph::Dot>& dots) {
    Pixels px(image);
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
    const auto same_kind = [](const graph::Dot& a, const graph::Dot& b) {
        return !b.outline && b.radius == a.radius && b.fill == a.fill;
    };
    for (std::size_t i = 0; i < dots.size();) {
        const graph::Dot& dot = dots[i];
        std::size_t end = i + 1;
        while (!dot.outline && end < dots.size() && same_kind(dot, dots[end])) {
            ++end;
        }
        // Later dots cover earlier ones, so a run of one kind keeps its place in the order;
        // circles wider than a word of bits are stamped.
        if (end - i >= kUnionDots && dot.radius < 64) {
            draw_dot_union(image, std::span(dots).subspan(i, end - i), shape(dot.radius),
                           pixel_of(dot.fill));
        } else {
            for (std::size_t k = i; k < end; ++k) {
                const graph::Dot& d = dots[k];
                if (d.outline) {
                    stamp_circle(px, d.centre, shape(d.radius), pixel_of(*d.outline));
                    stamp_circle(px, d.centre, shape(d.radius - 1), pixel_of(d.fill));
                } else {
                    stamp_circle(px, d.centre, shape(d.radius), pixel_of(d.fill));
                }
            }
        }
        i = end;
    }
}

QRect rect_of(const graph::Rect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

Qt::Alignment alignment_of(graph::Align a) {
    switch (a) {
        case graph::Align::left:
            return Qt::AlignLeft;
        case graph::Align::right:
            return Qt::AlignRight;
        case graph::Align::centre:
            break;
    }
    return Qt::AlignHCenter;
}

}  // namespace

QFont graph_font() {
    QFont font(QString::fromUtf8(graph::kGraphFontFamily.data(), graph::kGraphFontFamily.size()));
    font.setPixelSize(graph::kGraphFontPixels);
    font.setWeight(QFont::Medium);
    return font;
}

graph::TextMeasure graph_text_measure() {
    return [metrics = QFontMetrics(graph_font())](std::string_view text) {
        return metrics.horizontalAdvance(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    };
}

void paint_picture(QImage& image, const graph::Picture& picture, const QFont& font) {
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
    draw_dots(image, picture.dots);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::white);
    for (const auto& text : picture.texts) {
        painter.drawText(rect_of(text.box),
                         alignment_of(text.align) | Qt::AlignVCenter | Qt::TextSingleLine,
                         QString::fromUtf8(text.text));
    }
}

void paint_trace_with_lines(QImage& image, const graph::ColumnTrace& trace) {
    QPainter painter(&image);
    painter.setPen(pen_of(trace.colour, trace.width));
    for (std::size_t i = 1; i < trace.ys.size(); ++i) {
        const int x = trace.x0 + static_cast<int>(i);
        painter.drawLine(x - 1, trace.ys[i - 1], x, trace.ys[i]);
    }
}

}  // namespace kelpira::ui
