// The processed output graph view's controls and worker.
#include "ui/views/processed_graph_view.hpp"

#include <QCheckBox>
#include <QCoreApplication>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "graph/proc_graph_feed.hpp"
#include "ui/graph/proc_graph_widget.hpp"

namespace kelpira::ui {

namespace {

// What the worker holds of the graph: it only passes this on to the UI thread, which alone
// looks inside, so a worker that outlives the view never touches it.
struct GraphHandle {
    QPointer<ProcGraphWidget> graph;
};

template <typename F>
void on_ui_thread(F f) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(f), Qt::QueuedConnection);
}

}  // namespace

ProcessedGraphView::ProcessedGraphView(const ViewHost& host, app::LinkFlags flags, QWidget* parent)
    : QWidget(parent),
      worker_(host.workers.slot(app::ViewKind::ProcessedGraph)),
      frame_(new ViewFrame(host, QStringLiteral("PROCESSED OUTPUT"), flags, false, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame_);
    // This view reads whatever the sensor holds and has nothing to pause.
    frame_->pause_box()->hide();
    reset_ = new QPushButton(QStringLiteral("Reset Graph"), frame_);
    frame_->display_controls()->addWidget(reset_);
    graph_ = new ProcGraphWidget(host.prompter, frame_);
    frame_->set_content(graph_);
    connect(reset_, &QPushButton::clicked, graph_, &ProcGraphWidget::reset);
    graph_->set_chemistry(frame_->state().chemistry().chemistry);
    connect(frame_, &ViewFrame::config_reloaded, this,
            [this] { graph_->set_chemistry(frame_->state().chemistry().chemistry); });

    auto handle = std::make_shared<GraphHandle>(GraphHandle{graph_});
    app::ProcGraphSink sink{
        .add_points =
            [handle](std::vector<app::TimedValue> points) {
                on_ui_thread([handle, points = std::move(points)] {
                    if (handle->graph) {
                        handle->graph->add_points(points);
                    }
                });
            },
        .refresh =
            [handle] {
                on_ui_thread([handle] {
                    if (handle->graph) {
                        handle->graph->refresh();
                    }
                });
            },
    };
    ticket_ =
        worker_.start([&link = host.link, sink = std::move(sink)](common::WorkerControl& control) {
            app::run_proc_graph_feed(link, control, sink);
        });
}

ProcessedGraphView::~ProcessedGraphView() {
    worker_.stop(ticket_);
}

}  // namespace kelpira::ui
