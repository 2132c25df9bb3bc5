// The raw output graph control's image, painting and pointer.
#include "ui/graph/raw_graph_widget.hpp"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>

#include "ui/graph/graph_image_menu.hpp"
#include "ui/graph/graph_painter.hpp"

namespace kelpira::ui {

bool RawGraphWidget::Shown::operator==(const Shown& o) const {
    return client == o.client && samples == o.samples && newest_counter == o.newest_counter &&
           input.channels == o.input.channels && input.platform == o.input.platform &&
           input.thermistors == o.input.thermistors && input.cursor == o.input.cursor &&
           input.trace_width == o.input.trace_width;
}

RawGraphWidget::RawGraphWidget(common::Prompter& prompter, QWidget* parent)
    : QWidget(parent), prompter_(prompter), font_(graph_font()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(50, 50);
}

graph::Rect RawGraphWidget::client() const {
    const QSize screen = this->screen() ? this->screen()->size() : size();
    return {0, 0, std::min(width(), screen.width() - 1), std::min(height(), screen.height() - 1)};
}

void RawGraphWidget::redraw(graph::RawGraphInput input) {
    input.client = client();
    input.cursor = cursor_;
    Shown now{input.client, input.samples.size(),
              input.samples.empty() ? 0 : input.samples.back().counter, input};
    now.input.samples = {};
    if (shown_ && *shown_ == now && image_.size() == size()) {
        return;
    }
    const graph::Picture picture = graph::raw_graph_picture(input);
    if (image_.size() != size()) {
        image_ = QImage(size(), QImage::Format_RGB32);
    }
    paint_picture(image_, picture, font_);
    shown_ = now;
    // A window too small for a plot keeps what it showed.
    if (picture.plotted) {
        update();
    }
}

void RawGraphWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (image_.isNull()) {
        painter.fillRect(event->rect(), QColor(150, 150, 150));
        return;
    }
    painter.drawImage(event->rect(), image_, event->rect());
}

void RawGraphWidget::resizeEvent(QResizeEvent* event) {
    shown_.reset();
    QWidget::resizeEvent(event);
}

void RawGraphWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        cursor_ = graph::Point{event->position().toPoint().x(), event->position().toPoint().y()};
    }
}

void RawGraphWidget::mouseMoveEvent(QMouseEvent* event) {
    if (cursor_) {
        cursor_ = graph::Point{event->position().toPoint().x(), event->position().toPoint().y()};
    }
}

void RawGraphWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        cursor_.reset();
    }
}

void RawGraphWidget::contextMenuEvent(QContextMenuEvent* event) {
    show_graph_image_menu(this, event->globalPos(), image_, prompter_);
}

}  // namespace kelpira::ui
