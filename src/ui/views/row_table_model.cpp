// The list model over capped rows, and the queued path from a worker to it.
#include "ui/views/row_table_model.hpp"

#include <QBrush>
#include <QColor>
#include <QHeaderView>
#include <QTreeView>

namespace kelpira::ui {

RowTableModel::RowTableModel(std::size_t cap, QObject* parent)
    : QAbstractTableModel(parent), rows_(cap) {}

void RowTableModel::set_columns(const std::vector<views::ViewColumn>& columns) {
    const bool same_count = columns.size() == columns_.size();
    if (!same_count) {
        beginResetModel();
    }
    columns_ = columns;
    if (same_count) {
        emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(columns_.size()) - 1);
    } else {
        endResetModel();
    }
}

void RowTableModel::append(views::ViewRow row) {
    if (rows_.full()) {
        beginRemoveRows({}, 0, 0);
        rows_.drop_oldest();
        endRemoveRows();
    }
    const int at = static_cast<int>(rows_.size());
    beginInsertRows({}, at, at);
    rows_.push(std::move(row));
    endInsertRows();
}

void RowTableModel::clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void RowTableModel::revise_last_cell(std::size_t number, std::string text,
                                     std::optional<views::Rgb> colour) {
    if (const auto at = rows_.revise_last_cell(number, std::move(text), colour)) {
        const auto row = static_cast<int>(*at);
        const auto column = static_cast<int>(rows_[*at].cells.size()) - 1;
        emit dataChanged(index(row, column), index(row, column));
    }
}

int RowTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RowTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant RowTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= rows_.size()) {
        return {};
    }
    const views::ViewRow& row = rows_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole) {
        const auto column = static_cast<std::size_t>(index.column());
        return column < row.cells.size() ? QString::fromStdString(row.cells[column]) : QString();
    }
    if (role == Qt::ForegroundRole) {
        const bool last = static_cast<std::size_t>(index.column()) + 1 == row.cells.size();
        const views::Rgb c = last && row.last_cell_colour ? *row.last_cell_colour : row.colour;
        return QBrush(QColor(c.r, c.g, c.b));
    }
    return {};
}

QVariant RowTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        static_cast<std::size_t>(section) >= columns_.size()) {
        return {};
    }
    return QString::fromStdString(columns_[static_cast<std::size_t>(section)].title);
}

QTreeView* make_row_view(RowTableModel* model, QWidget* parent) {
    auto* view = new QTreeView(parent);
    view->setModel(model);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);  // keeps a 1001-row list cheap to grow and scroll
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->header()->setStretchLastSection(false);
    size_columns(view, model->columns());
    return view;
}

void size_columns(QTreeView* view, const std::vector<views::ViewColumn>& columns) {
    const int unit = view->fontMetrics().averageCharWidth();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int c = static_cast<int>(i);
        const int title = view->header()->sectionSizeHint(c);
        // Two more characters for the cell margins, which the widths do not count.
        view->header()->resizeSection(c, std::max((columns[i].width + 2) * unit, title));
    }
}

views::RowSink row_sink(const Handoff<RowTableModel>& handoff, QTreeView* view) {
    return {[handoff] { handoff.post([](RowTableModel& model) { model.clear(); }); },
            [handoff, view](views::ViewRow row, bool scroll) {
                handoff.post([view, row = std::move(row), scroll](RowTableModel& model) mutable {
                    model.append(std::move(row));
                    if (scroll) {
                        view->scrollToBottom();
                    }
                });
            },
            [handoff](std::size_t row, std::string text, std::optional<views::Rgb> colour) {
                handoff.post([row, text = std::move(text), colour](RowTableModel& model) mutable {
                    model.revise_last_cell(row, std::move(text), colour);
                });
            }};
}

}  // namespace kelpira::ui
