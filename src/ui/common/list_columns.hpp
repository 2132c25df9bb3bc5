// Column widths of the shell's list views: the width each column is given in average
// character widths, widened where its header or its texts need more.
#pragma once

#include <span>

class QTreeWidget;

namespace kelpira::ui {

// `widths[i]` is column i's width in average character widths.
void fit_columns(QTreeWidget* list, std::span<const int> widths);

}  // namespace kelpira::ui
