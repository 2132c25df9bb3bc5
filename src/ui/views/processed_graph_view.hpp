// The processed output graph view: the frame around the graph of the sensor's stored
// results, with "Reset Graph" and "Quality Control..." in its Display Control group, and the
// worker that reads them.
#pragma once

#include <QWidget>

#include "ui/common/handoff.hpp"
#include "ui/views/view_frame.hpp"
#include "views/live_quality.hpp"

class QPushButton;

namespace kelpira::ui {

class ProcGraphWidget;

class ProcessedGraphView : public QWidget {
    Q_OBJECT

  public:
    // `settings` outlive the view; "Quality Control..." changes them.
    ProcessedGraphView(const ViewHost& host, views::LinkFlags flags,
                       views::ProcessedViewSettings& settings, QWidget* parent = nullptr);
    ~ProcessedGraphView() override;  // stops the worker, waiting at most 100 ms

    ViewFrame* frame() const { return frame_; }
    ProcGraphWidget* graph() const { return graph_; }
    QPushButton* reset_button() const { return reset_; }
    QPushButton* quality_button() const { return quality_; }
    // Follows the settings' "Hide Failed Points".
    void apply_hide_failed();

  private:
    // Reads every result anew, flagged with the settings' parameters.
    void start_reading();

    views::ViewWorkers& worker_;
    link::SensorLink& link_;
    views::ProcessedViewSettings& settings_;
    std::uint64_t ticket_ = 0;
    ViewFrame* frame_;
    ProcGraphWidget* graph_;
    Handoff<ProcGraphWidget> handoff_;  // the worker's way to the graph, one per reading
    QPushButton* reset_ = nullptr;
    QPushButton* quality_ = nullptr;
};

}  // namespace kelpira::ui
