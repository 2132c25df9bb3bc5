// The processed output graph control's image, painting and mouse handling.
#include "ui/graph/proc_graph_widget.hpp"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>

#include "ui/graph/graph_image_menu.hpp"
#include "ui/graph/graph_painter.hpp"

namespace kelpira::ui {

namespace {

graph::Point point_of(const QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    return {p.x(), p.y()};
}

}  // namespace

ProcGraphWidget::ProcGraphWidget(common::Prompter& prompter, QWidget* parent)
    : QWidget(parent), prompter_(prompter), measure_(graph_text_measure()), font_(graph_font()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(50, 50);
    refresh_timer_.setSingleShot(true);
    refresh_timer_.setInterval(kRefreshMs);
    connect(&refresh_timer_, &QTimer::timeout, this, &ProcGraphWidget::redraw);
}

graph::Rect ProcGraphWidget::client() const {
    const QSize screen = this->screen() ? this->screen()->size() : size();
    return {0, 0, std::min(width(), screen.width() - 1), std::min(height(), screen.height() - 1)};
}

void ProcGraphWidget::set_chemistry(records::ChemistryType chemistry) {
    graph_.set_chemistry(chemistry);
    redraw();
}

void ProcGraphWidget::start_over(const std::optional<quality::QcParametersFile>& parameters,
                                 records::ChemistryType chemistry) {
    graph_.clear();
    graph_.set_flagged(parameters.has_value());
    quality_.emplace(parameters, chemistry);
    redraw();
}

void ProcGraphWidget::set_hide_failed(bool hide) {
    graph_.set_hide_failed(hide);
    redraw();
}

void ProcGraphWidget::add_points(const std::vector<records::OutputRecord>& results) {
    for (const auto& r : results) {
        quality::Flag flag = quality::Flag::not_evaluated;
        if (quality_) {
            const auto flags = quality_->append(r);
            for (const auto& revised : flags.revised) {
                graph_.set_flag(revised.result, revised.flag);
            }
            flag = flags.flag;
        }
        graph_.add_point(r.platform_time, r.value, flag);
    }
    refresh();
}

void ProcGraphWidget::refresh() {
    if (!refresh_timer_.isActive()) {
        refresh_timer_.start();
    }
}

void ProcGraphWidget::reset() {
    graph_.reset();
    redraw();
}

void ProcGraphWidget::redraw() {
    refresh_timer_.stop();
    const graph::Picture picture = graph_.redraw(client(), measure_);
    if (image_.size() != size()) {
        image_ = QImage(size(), QImage::Format_RGB32);
    }
    paint_picture(image_, picture, font_);
    // A window too small for a plot keeps what it showed.
    if (picture.plotted) {
        update();
    }
}

void ProcGraphWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (image_.isNull()) {
        painter.fillRect(event->rect(), QColor(130, 130, 200));
        return;
    }
    painter.drawImage(event->rect(), image_, event->rect());
    if (!dragging_) {
        return;
    }
    painter.setPen(QPen(Qt::white, 0));
    for (const auto& line : graph::drag_indicator(drag_start_, drag_current_)) {
        painter.drawLine(line.from.x, line.from.y, line.to.x, line.to.y);
    }
}

void ProcGraphWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    refresh();
}

void ProcGraphWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        // Zoomed in, the right button steps back; at the full extent it offers the picture.
        if (graph_.zoom_out()) {
            redraw();
        } else {
            show_graph_image_menu(this, event->globalPosition().toPoint(), image_, prompter_);
        }
        return;
    }
    if (event->button() == Qt::LeftButton) {
        pressed_ = point_of(event);
        dragging_ = false;
    }
}

void ProcGraphWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_) {
        return;
    }
    const graph::ProcGraphLayout layout = graph::proc_graph_layout(client());
    const graph::Point at = point_of(event);
    if (!dragging_) {
        const int moved = std::abs(at.x - pressed_->x) + std::abs(at.y - pressed_->y);
        if (moved < QApplication::startDragDistance()) {
            return;
        }
        dragging_ = true;
        drag_start_ = graph::clamp_to_plot(*pressed_, layout);
    }
    drag_current_ = graph::clamp_to_plot(at, layout);
    update();
}

void ProcGraphWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) {
        return;
    }
    const graph::Point pressed = *pressed_;
    pressed_.reset();
    if (!dragging_) {
        graph_.click(pressed);
        redraw();
        return;
    }
    dragging_ = false;
    const graph::ProcGraphLayout layout = graph::proc_graph_layout(client());
    drag_current_ = graph::clamp_to_plot(point_of(event), layout);
    update();
    if (graph_.end_drag(drag_start_, drag_current_, layout, prompter_)) {
        redraw();
    }
}

}  // namespace kelpira::ui
