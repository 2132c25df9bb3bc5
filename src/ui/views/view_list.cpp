// Starting and stopping a text view's worker around its list.
#include "ui/views/view_list.hpp"

#include <QTreeView>

namespace kelpira::ui {

ViewList::ViewList(views::ViewWorkers& workers, std::size_t cap,
                   const std::vector<views::ViewColumn>& columns, QWidget* parent)
    : workers_(workers), model_(new RowTableModel(cap, parent)) {
    model_->set_columns(columns);
    view_ = make_row_view(model_, parent);
}

ViewList::~ViewList() {
    stop();
}

void ViewList::start(Run run) {
    run_ = std::move(run);
    handoff_.emplace(model_);
    // The worker holds its own references to the pause flag and the hand-off, so it may
    // outlive this list.
    ticket_ = workers_.start([run = run_, paused = paused_, sink = row_sink(*handoff_, view_)](
                                 common::WorkerControl& control) { run(control, *paused, sink); });
}

void ViewList::stop() {
    if (handoff_) {
        workers_.stop(ticket_);
        handoff_->close();
        handoff_.reset();
    }
}

}  // namespace kelpira::ui
