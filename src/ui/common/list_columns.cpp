// Fitting list columns to their given widths, their headers and their texts.
#include "ui/common/list_columns.hpp"

#include <QHeaderView>
#include <QTreeWidget>
#include <algorithm>

namespace kelpira::ui {

void fit_columns(QTreeWidget* list, std::span<const int> widths) {
    const int unit = list->fontMetrics().averageCharWidth();
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const int column = static_cast<int>(i);
        list->resizeColumnToContents(column);
        const int needed =
            std::max(list->columnWidth(column), list->header()->sectionSizeHint(column));
        list->setColumnWidth(column, std::max(widths[i] * unit, needed));
    }
}

}  // namespace kelpira::ui
