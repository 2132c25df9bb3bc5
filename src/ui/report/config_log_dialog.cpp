// The configuration log's widgets.
#include "ui/report/config_log_dialog.hpp"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "report/config_log_controller.hpp"

namespace kelpira::ui {

ConfigLogDialog::ConfigLogDialog(link::SensorLink& link, common::Prompter& prompter,
                                 report::ConfigReport report, QWidget* parent)
    : QDialog(parent), link_(link), prompter_(prompter), report_(std::move(report)) {
    setWindowTitle(QString::fromUtf8(report::kReportLogTitle));
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const auto& line : report_.lines) {
        list_->addItem(QString::fromStdString(line));
    }
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list_, &QListWidget::customContextMenuRequested, this, &ConfigLogDialog::show_menu);
    layout->addWidget(list_);

    auto* buttons = new QHBoxLayout;
    export_ = new QPushButton(tr("Export Snapshot..."), this);
    save_ = new QPushButton(tr("Save..."), this);
    buttons->addWidget(export_);
    buttons->addStretch(1);
    buttons->addWidget(save_);
    layout->addLayout(buttons);
    connect(save_, &QPushButton::clicked, this,
            [this] { report::save_report(report_, prompter_); });
    connect(export_, &QPushButton::clicked, this,
            [this] { report::export_snapshot(link_, report_, prompter_); });
    resize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 32);
}

void ConfigLogDialog::copy_selection() {
    std::vector<std::size_t> rows;
    for (const auto& index : list_->selectionModel()->selectedRows()) {
        rows.push_back(static_cast<std::size_t>(index.row()));
    }
    QApplication::clipboard()->setText(
        QString::fromStdString(report::copy_text(report_.lines, std::move(rows))));
}

void ConfigLogDialog::show_menu(const QPoint& at) {
    QMenu menu(this);
    connect(menu.addAction(tr("Copy")), &QAction::triggered, this,
            &ConfigLogDialog::copy_selection);
    menu.exec(list_->viewport()->mapToGlobal(at));
}

void run_config_log_dialog(QWidget* parent, link::SensorLink& link, common::Prompter& prompter) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto report =
        report::build_config_report(link, QDateTime::currentDateTimeUtc().toSecsSinceEpoch());
    QApplication::restoreOverrideCursor();
    ConfigLogDialog dialog(link, prompter, std::move(report), parent);
    dialog.exec();
}

}  // namespace kelpira::ui
