// The processed output graph view's controls and worker.
#include "ui/views/processed_graph_view.hpp"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "graph/proc_graph_feed.hpp"
#include "ui/graph/proc_graph_widget.hpp"

namespace kelpira::ui {

ProcessedGraphView::ProcessedGraphView(const ViewHost& host, views::LinkFlags flags,
                                       QWidget* parent)
    : QWidget(parent),
      worker_(host.workers),
      frame_(new ViewFrame(host, QStringLiteral("PROCESSED OUTPUT"), flags, false, this)),
      graph_(new ProcGraphWidget(host.prompter, frame_)),
      handoff_(graph_) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame_);
    // This view reads whatever the sensor holds and has nothing to pause.
    frame_->pause_box()->hide();
    reset_ = new QPushButton(QStringLiteral("Reset Graph"), frame_);
    frame_->display_controls()->addWidget(reset_);
    frame_->set_content(graph_);
    connect(reset_, &QPushButton::clicked, graph_, &ProcGraphWidget::reset);
    graph_->set_chemistry(frame_->state().chemistry().chemistry);
    connect(frame_, &ViewFrame::config_reloaded, this,
            [this] { graph_->set_chemistry(frame_->state().chemistry().chemistry); });

    graph::ProcGraphSink sink{
        .add_points =
            [handoff = handoff_](std::vector<graph::TimedValue> points) {
                handoff.post([points = std::move(points)](ProcGraphWidget& graph) {
                    graph.add_points(points);
                });
            },
        .refresh = [handoff = handoff_] { handoff.post([](ProcGraphWidget& g) { g.refresh(); }); },
    };
    ticket_ =
        worker_.start([&link = host.link, sink = std::move(sink)](common::WorkerControl& control) {
            graph::run_proc_graph_feed(link, control, sink);
        });
}

ProcessedGraphView::~ProcessedGraphView() {
    handoff_.close();
    worker_.stop(ticket_);
}

}  // namespace kelpira::ui
