// The Qt skin of "Restore Snapshot": what the restore would change, record by record, before
// anything is written; "Restore" asks for confirmation, writes and shows what happened.
#pragma once

#include <QDialog>

#include "common/prompter.hpp"
#include "link/sensor_link.hpp"
#include "report/restore_snapshot_controller.hpp"

class QCheckBox;
class QListWidget;
class QPushButton;

namespace kelpira::ui {

class RestoreSnapshotDialog : public QDialog {
    Q_OBJECT

  public:
    RestoreSnapshotDialog(link::SensorLink& link, common::Prompter& prompter,
                          report::RestorePlan plan, QWidget* parent = nullptr);

    QListWidget* preview() const { return preview_; }
    QCheckBox* identity_box() const { return identity_; }
    QPushButton* restore_button() const { return restore_; }

  private:
    void show_preview();
    void restore();

    link::SensorLink& link_;
    common::Prompter& prompter_;
    report::RestorePlan plan_;
    QListWidget* preview_ = nullptr;
    QCheckBox* identity_ = nullptr;
    QPushButton* restore_ = nullptr;
};

// Asks for the snapshot file, shows the dialog over `parent` and runs it modally. True when
// something was written.
bool run_restore_snapshot(QWidget* parent, link::SensorLink& link, common::Prompter& prompter);

}  // namespace kelpira::ui
