// A view's list: the capped rows of the core as a table model, and the poster that carries a
// worker's rows to it on the UI thread.
#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "views/row_list.hpp"
#include "views/view_workers.hpp"

class QTreeView;

namespace kelpira::ui {

class RowTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    RowTableModel(std::size_t cap, QObject* parent);

    void set_columns(const std::vector<app::ViewColumn>& columns);
    const std::vector<app::ViewColumn>& columns() const { return columns_; }
    // Drops the oldest row first when the list is full.
    void append(app::ViewRow row);
    void clear();
    const app::RowList& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<app::ViewColumn> columns_;
    app::RowList rows_;
};

// A read-only list over `model`, columns sized in average character widths.
QTreeView* make_row_view(RowTableModel* model, QWidget* parent);
void size_columns(QTreeView* view, const std::vector<app::ViewColumn>& columns);

// Carries a worker's rows to the list as queued calls, so the worker never waits for the UI
// thread. Once closed (the view is going), nothing more reaches the list, including calls
// already queued.
class RowPoster : public std::enable_shared_from_this<RowPoster> {
  public:
    RowPoster(QTreeView* view, RowTableModel* model);
    void close();  // UI thread
    app::RowSink sink();

  private:
    void post(std::function<void()> call);

    std::mutex mutex_;  // target_ against close()
    QObject* target_;
    QTreeView* view_;
    RowTableModel* model_;
    bool closed_ = false;  // UI thread only
};

}  // namespace kelpira::ui
