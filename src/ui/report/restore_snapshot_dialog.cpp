// The restore dialog's widgets.
#include "ui/report/restore_snapshot_dialog.hpp"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelpira::ui {

RestoreSnapshotDialog::RestoreSnapshotDialog(link::SensorLink& link, common::Prompter& prompter,
                                             report::RestorePlan plan, QWidget* parent)
    : QDialog(parent), link_(link), prompter_(prompter), plan_(std::move(plan)) {
    setWindowTitle(QString::fromUtf8(report::kRestoreSnapshotTitle));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Restoring the snapshot would do this to each record:"), this));
    preview_ = new QListWidget(this);
    layout->addWidget(preview_);
    identity_ = new QCheckBox(tr("Also write the snapshot's sensor name and serial number"), this);
    identity_->setEnabled(plan_.snapshot.contains("identity"));
    layout->addWidget(identity_);
    auto* buttons = new QHBoxLayout;
    restore_ = new QPushButton(tr("Restore"), this);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    buttons->addStretch(1);
    buttons->addWidget(restore_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(identity_, &QCheckBox::toggled, this, [this](bool on) {
        report::replan_restore(link_, plan_, on);
        show_preview();
    });
    connect(restore_, &QPushButton::clicked, this, &RestoreSnapshotDialog::restore);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    show_preview();
    resize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 24);
}

void RestoreSnapshotDialog::show_preview() {
    preview_->clear();
    for (const auto& line : report::outcome_lines(plan_.preview)) {
        preview_->addItem(QString::fromStdString(line));
    }
}

void RestoreSnapshotDialog::restore() {
    if (prompter_.ask_yes_no(report::kRestoreSnapshotTitle,
                             "Write the snapshot's settings to the sensor?") !=
        common::Answer::Yes) {
        return;
    }
    report::run_restore(link_, plan_, prompter_);
    accept();
}

bool run_restore_snapshot(QWidget* parent, link::SensorLink& link, common::Prompter& prompter) {
    auto plan = report::plan_restore(link, prompter);
    if (!plan) {
        return false;
    }
    RestoreSnapshotDialog dialog(link, prompter, std::move(*plan), parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace kelpira::ui
