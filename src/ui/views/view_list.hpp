// The list half of a text view: the model, the list widget, and the worker that feeds it,
// stopped before the list goes.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "ui/views/row_table_model.hpp"
#include "ui/views/view_frame.hpp"
#include "views/view_workers.hpp"

class QTreeView;

namespace kelpira::ui {

class ViewList {
  public:
    // What the worker runs: the view's pass with the pause flag and the sink it was given.
    using Run = std::function<void(common::WorkerControl&, const std::atomic<bool>& paused,
                                   const views::RowSink& sink)>;

    ViewList(views::ViewWorkers& workers, std::size_t cap,
             const std::vector<views::ViewColumn>& columns, QWidget* parent);
    ~ViewList();  // stop()
    ViewList(const ViewList&) = delete;
    ViewList& operator=(const ViewList&) = delete;

    // Stops the worker of the view before, then starts `run` (kept for restarts).
    void start(Run run);
    void restart() { start(run_); }
    // Waits at most 100 ms; rows the worker still sends are dropped.
    void stop();
    // Follows the view's "Pause Display" box.
    void set_paused(bool paused) { paused_->store(paused); }

    RowTableModel* model() const { return model_; }
    QTreeView* view() const { return view_; }

  private:
    views::ViewWorkers& workers_;
    RowTableModel* model_;
    QTreeView* view_;
    std::shared_ptr<std::atomic<bool>> paused_ = std::make_shared<std::atomic<bool>>(false);
    std::optional<Handoff<RowTableModel>> handoff_;  // one per run
    std::uint64_t ticket_ = 0;
    Run run_;
};

}  // namespace kelpira::ui
