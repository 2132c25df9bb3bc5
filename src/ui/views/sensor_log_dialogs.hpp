// The diagnostics view's two dialogs: the restart log and the task table.
#pragma once

#include <QDialog>
#include <array>

#include "views/task_table.hpp"

class QCheckBox;
class QTreeWidget;

namespace kelpira::ui {

// "Sensor Firmware Restart Log (last 10 restarts)": one row per restart, read on opening.
class RestartLogDialog : public QDialog {
    Q_OBJECT

  public:
    RestartLogDialog(link::SensorLink& link, QWidget* parent);
    QTreeWidget* list() const { return list_; }

  private:
    QTreeWidget* list_;
};

// "Tasks": the 17 tasks with their log filter boxes, three "All" boxes and Save.
class TaskDialog : public QDialog {
    Q_OBJECT

  public:
    TaskDialog(link::SensorLink& link, common::Prompter& prompter, views::TaskTable table,
               QWidget* parent);
    QCheckBox* filter_box(std::size_t task, std::size_t filter) const {
        return boxes_[task][filter];
    }
    QCheckBox* all_box(std::size_t filter) const { return all_[filter]; }
    void save();

  private:
    void show_boxes();

    link::SensorLink& link_;
    common::Prompter& prompter_;
    views::TaskTable table_;
    std::array<std::array<QCheckBox*, views::kLogFilters>, records::kTaskCount> boxes_{};
    std::array<QCheckBox*, views::kLogFilters> all_{};
};

void run_restart_log_dialog(link::SensorLink& link, QWidget* parent);
// Returns at once, after telling the user, when a task cannot be read.
void run_task_dialog(link::SensorLink& link, common::Prompter& prompter, QWidget* parent);

}  // namespace kelpira::ui
