// The restart log and task dialogs' widgets over the core's reads and table.
#include "ui/views/sensor_log_dialogs.hpp"

#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/common/list_columns.hpp"

namespace kelpira::ui {

RestartLogDialog::RestartLogDialog(link::SensorLink& link, QWidget* parent)
    : QDialog(parent), list_(new QTreeWidget(this)) {
    setWindowTitle("Sensor Firmware Restart Log (last 10 restarts)");
    const auto columns = views::restart_log_columns();
    QStringList titles;
    for (const auto& c : columns) {
        titles << QString::fromStdString(c.title);
    }
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels(titles);
    for (const auto& entry : views::read_restart_log(link)) {
        QStringList cells;
        for (const auto& cell : views::restart_log_cells(entry)) {
            cells << QString::fromStdString(cell);
        }
        list_->addTopLevelItem(new QTreeWidgetItem(cells));
    }
    std::vector<int> widths;
    for (const auto& c : columns) {
        widths.push_back(c.width);
    }
    fit_columns(list_, widths);
    int width = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        width += list_->columnWidth(static_cast<int>(i));
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    resize(width + 40, 300);
}

TaskDialog::TaskDialog(link::SensorLink& link, common::Prompter& prompter, views::TaskTable table,
                       QWidget* parent)
    : QDialog(parent), link_(link), prompter_(prompter), table_(std::move(table)) {
    setWindowTitle("Tasks");
    auto* grid = new QGridLayout(this);
    const QStringList headings{"Task ID",   "Task Name",   "Stack Start", "Stack End",
                               "Stack Top", "Stack Usage", "Task State"};
    for (int c = 0; c < headings.size(); ++c) {
        grid->addWidget(new QLabel(headings[c], this), 1, c);
    }
    const int filter_column = static_cast<int>(headings.size());
    grid->addWidget(new QLabel("Log Filters", this), 0, filter_column, 1, 3);
    for (std::size_t f = 0; f < views::kLogFilters; ++f) {
        all_[f] = new QCheckBox("All", this);
        grid->addWidget(all_[f], 1, filter_column + static_cast<int>(f));
        connect(all_[f], &QCheckBox::clicked, this, [this, f](bool on) {
            table_.set_all(f, on);
            show_boxes();
        });
    }
    for (std::size_t t = 0; t < records::kTaskCount; ++t) {
        const int row = static_cast<int>(t) + 2;
        const auto& texts = table_.texts(t);
        const QStringList fields{QString::number(t),
                                 QString::fromStdString(texts.name),
                                 QString::fromStdString(texts.stack_start),
                                 QString::fromStdString(texts.stack_end),
                                 QString::fromStdString(texts.stack_top),
                                 QString::fromStdString(texts.stack_usage),
                                 QString::fromStdString(texts.state)};
        for (int c = 0; c < fields.size(); ++c) {
            auto* field = new QLineEdit(fields[c], this);
            field->setReadOnly(true);
            grid->addWidget(field, row, c);
        }
        for (std::size_t f = 0; f < views::kLogFilters; ++f) {
            boxes_[t][f] = new QCheckBox(views::kLogFilterCaptions[f], this);
            grid->addWidget(boxes_[t][f], row, filter_column + static_cast<int>(f));
            connect(boxes_[t][f], &QCheckBox::clicked, this, [this, t, f](bool on) {
                table_.set_filter(t, f, on);
                show_boxes();
            });
        }
    }
    auto* save_button = new QPushButton("Save", this);
    grid->addWidget(save_button, static_cast<int>(records::kTaskCount) + 2, filter_column, 1, 3);
    connect(save_button, &QPushButton::clicked, this, &TaskDialog::save);
    show_boxes();
}

void TaskDialog::show_boxes() {
    for (std::size_t f = 0; f < views::kLogFilters; ++f) {
        all_[f]->setChecked(table_.all(f));
        for (std::size_t t = 0; t < records::kTaskCount; ++t) {
            boxes_[t][f]->setChecked(table_.filter(t, f));
        }
    }
}

void TaskDialog::save() {
    table_.save(link_, prompter_);
}

void run_restart_log_dialog(link::SensorLink& link, QWidget* parent) {
    RestartLogDialog dialog(link, parent);
    dialog.exec();
}

void run_task_dialog(link::SensorLink& link, common::Prompter& prompter, QWidget* parent) {
    views::TaskTable table;
    if (!table.open(link, prompter)) {
        return;
    }
    TaskDialog dialog(link, prompter, std::move(table), parent);
    dialog.exec();
}

}  // namespace kelpira::ui
