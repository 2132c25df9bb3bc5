// The processed output graph view: the frame around the graph of the sensor's stored
// results, with "Reset Graph" in its Display Control group, and the worker that reads them.
#pragma once

#include <QWidget>

#include "ui/common/handoff.hpp"
#include "ui/views/view_frame.hpp"

class QPushButton;

namespace kelpira::ui {

class ProcGraphWidget;

class ProcessedGraphView : public QWidget {
    Q_OBJECT

  public:
    ProcessedGraphView(const ViewHost& host, views::LinkFlags flags, QWidget* parent = nullptr);
    ~ProcessedGraphView() override;  // stops the worker, waiting at most 100 ms

    ViewFrame* frame() const { return frame_; }
    ProcGraphWidget* graph() const { return graph_; }
    QPushButton* reset_button() const { return reset_; }

  private:
    views::ViewWorkers& worker_;
    std::uint64_t ticket_ = 0;
    ViewFrame* frame_;
    ProcGraphWidget* graph_;
    Handoff<ProcGraphWidget> handoff_;  // the worker's way to the graph
    QPushButton* reset_ = nullptr;
};

}  // namespace kelpira::ui
