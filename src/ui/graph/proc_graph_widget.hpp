// The processed output graph control: the core's graph state with each result's quality flag
// as it arrives, an off-screen image redrawn from it (at most ten times a second while points
// arrive), the drag indicator painted over the copied image, and the mouse: drag to zoom, click to
// select, right button to go back.
#pragma once

#include <QFont>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <optional>
#include <vector>

#include "common/prompter.hpp"
#include "graph/proc_graph.hpp"
#include "graph/proc_graph_feed.hpp"
#include "views/live_quality.hpp"

namespace kelpira::ui {

class ProcGraphWidget : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kRefreshMs = 100;

    explicit ProcGraphWidget(common::Prompter& prompter, QWidget* parent = nullptr);

    // The view's chemistry, at creation and after a successful reload.
    void set_chemistry(records::ChemistryType chemistry);
    // Forgets every point and flags the results that follow with `parameters` (none: not
    // flagged) as results of `chemistry`.
    void start_over(const std::optional<quality::QcParametersFile>& parameters,
                    records::ChemistryType chemistry);
    // "Hide Failed Points".
    void set_hide_failed(bool hide);
    // Results from the sensor, flagged; the picture follows within kRefreshMs.
    void add_points(const std::vector<records::OutputRecord>& results);
    // Redraw soon (several requests make one redraw).
    void refresh();
    // "Reset Graph".
    void reset();
    // Redraws the current viewport now.
    void redraw();

    const graph::ProcGraph& graph() const { return graph_; }
    const QImage& image() const { return image_; }
    graph::Rect client() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    common::Prompter& prompter_;
    graph::ProcGraph graph_;
    std::optional<views::LiveQuality> quality_;
    graph::TextMeasure measure_;
    QImage image_;
    QFont font_;
    QTimer refresh_timer_;
    // Left button held: where it went down; a drag once the pointer moved far enough.
    std::optional<graph::Point> pressed_;
    bool dragging_ = false;
    graph::Point drag_start_, drag_current_;
};

}  // namespace kelpira::ui
