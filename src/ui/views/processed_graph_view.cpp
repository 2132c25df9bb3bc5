// The processed output graph view's controls and worker.
#include "ui/views/processed_graph_view.hpp"

#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/graph/proc_graph_feed.hpp"
#include "ui/views/proc_graph_widget.hpp"

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

ProcessedGraphView::ProcessedGraphView(link::SensorLink& link, common::Prompter& prompter,
                                       const std::optional<config::ChemistryConfig>& view_chemistry,
                                       QWidget* parent)
    : QWidget(parent) {
    display_control_ = new QGroupBox(QStringLiteral("Display Control"), this);
    reset_ = new QPushButton(QStringLiteral("Reset Graph"), display_control_);
    (new QVBoxLayout(display_control_))->addWidget(reset_);
    graph_ = new ProcGraphWidget(prompter, this);
    connect(reset_, &QPushButton::clicked, graph_, &ProcGraphWidget::reset);

    auto* panel = new QVBoxLayout;
    panel->addWidget(new QLabel(QStringLiteral("PROCESSED OUTPUT"), this));
    panel->addWidget(display_control_);
    panel->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(panel);
    layout->addWidget(graph_, 1);

    // The view's chemistry is the fallback's, Generic, when its read failed.
    graph_->set_chemistry(view_chemistry ? view_chemistry->chemistry
                                         : config::ChemistryType::generic);

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
    worker_ = std::make_unique<common::Worker>(
        [&link, sink = std::move(sink)](common::WorkerControl& control) {
            app::run_proc_graph_feed(link, control, sink);
        });
}

ProcessedGraphView::~ProcessedGraphView() {
    worker_->stop(kStopWait);
}

void ProcessedGraphView::reload(const config::ChemistryConfig& reread) {
    graph_->set_chemistry(reread.chemistry);
}

}  // namespace kelpira::ui
