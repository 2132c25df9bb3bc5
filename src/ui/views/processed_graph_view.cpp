// The processed output graph view's controls and worker.
#include "ui/views/processed_graph_view.hpp"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "graph/proc_graph_feed.hpp"
#include "ui/graph/proc_graph_widget.hpp"

namespace kelpira::ui {

ProcessedGraphView::ProcessedGraphView(const ViewHost& host, views::LinkFlags flags,
                                       views::ProcessedViewSettings& settings, QWidget* parent)
    : QWidget(parent),
      worker_(host.workers),
      link_(host.link),
      settings_(settings),
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
    quality_ = new QPushButton(QStringLiteral("Quality Control..."), frame_);
    quality_->setToolTip(
        QStringLiteral("Flag the results with the quality tests: a parameters "
                       "file of your own, or the parameters Kelpira ships"));
    frame_->display_controls()->addWidget(quality_);
    frame_->set_content(graph_);
    connect(reset_, &QPushButton::clicked, graph_, &ProcGraphWidget::reset);
    graph_->set_chemistry(frame_->state().chemistry().chemistry);
    connect(frame_, &ViewFrame::config_reloaded, this,
            [this] { graph_->set_chemistry(frame_->state().chemistry().chemistry); });
    connect(quality_, &QPushButton::clicked, this, [this, &prompter = host.prompter] {
        settings_.quality = quality::choose_quality_parameters(prompter);
        start_reading();
    });
    graph_->set_hide_failed(settings_.hide_failed);
    start_reading();
}

void ProcessedGraphView::apply_hide_failed() {
    graph_->set_hide_failed(settings_.hide_failed);
}

void ProcessedGraphView::start_reading() {
    if (ticket_ != 0) {
        handoff_.close();
        worker_.stop(ticket_);
        handoff_ = Handoff<ProcGraphWidget>(graph_);
    }
    // The results are flagged as series of the chemistry the sensor has now.
    graph_->start_over(settings_.quality.parameters, frame_->state().chemistry().chemistry);
    graph::ProcGraphSink sink{
        .add_points =
            [handoff = handoff_](std::vector<records::OutputRecord> results) {
                handoff.post([results = std::move(results)](ProcGraphWidget& graph) {
                    graph.add_points(results);
                });
            },
        .refresh = [handoff = handoff_] { handoff.post([](ProcGraphWidget& g) { g.refresh(); }); },
    };
    ticket_ =
        worker_.start([&link = link_, sink = std::move(sink)](common::WorkerControl& control) {
            graph::run_proc_graph_feed(link, control, sink);
        });
}

ProcessedGraphView::~ProcessedGraphView() {
    handoff_.close();
    worker_.stop(ticket_);
}

}  // namespace kelpira::ui
