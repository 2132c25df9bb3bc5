// A view's list: the capped rows of the core as a table model, and the sink that carries a
// worker's rows to it on the UI thread.
#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <vector>

#include "ui/common/handoff.hpp"
#include "views/row_list.hpp"
#include "views/view_workers.hpp"

class QTreeView;

namespace kelpira::ui {

class RowTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    RowTableModel(std::size_t cap, QObject* parent);

    void set_columns(const std::vector<views::ViewColumn>& columns);
    const std::vector<views::ViewColumn>& columns() const { return columns_; }
    // Drops the oldest row first when the list is full.
    void append(views::ViewRow row);
    void clear();
    // RowList::revise_last_cell, shown.
    void revise_last_cell(std::size_t number, std::string text, std::optional<views::Rgb> colour);
    const views::RowList& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<views::ViewColumn> columns_;
    views::RowList rows_;
};

// A read-only list over `model`, columns sized in average character widths.
QTreeView* make_row_view(RowTableModel* model, QWidget* parent);
void size_columns(QTreeView* view, const std::vector<views::ViewColumn>& columns);

// The worker's sink of a list: each row or clear becomes a call on the list's thread through
// `handoff`; once it is closed (the view is going), nothing more reaches the list.
views::RowSink row_sink(const Handoff<RowTableModel>& handoff, QTreeView* view);

}  // namespace kelpira::ui
