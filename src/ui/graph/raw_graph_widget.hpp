// The raw output graph control: an off-screen image rebuilt on request from the core's
// picture, copied to the window on paint, and the pointer position while the left button
// is held.
#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>
#include <optional>

#include "common/prompter.hpp"
#include "graph/raw_graph_picture.hpp"

namespace kelpira::ui {

class RawGraphWidget : public QWidget {
    Q_OBJECT

  public:
    // The prompter asks where "Save Image..." goes.
    explicit RawGraphWidget(common::Prompter& prompter, QWidget* parent = nullptr);

    // The client rectangle the picture is laid out in, limited to the screen.
    graph::Rect client() const;
    // Rebuilds the image from `input` (its client and cursor are this control's) and
    // repaints. Nothing is done when nothing drawn would change.
    void redraw(graph::RawGraphInput input);
    const QImage& image() const { return image_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    // What the last redraw showed, to skip redraws that would paint the same picture.
    struct Shown {
        graph::Rect client;
        std::size_t samples = 0;
        std::uint32_t newest_counter = 0;
        graph::RawGraphInput input;  // without its samples
        bool operator==(const Shown& o) const;
    };

    common::Prompter& prompter_;
    QImage image_;
    QFont font_;
    std::optional<graph::Point> cursor_;
    std::optional<Shown> shown_;
};

}  // namespace kelpira::ui
