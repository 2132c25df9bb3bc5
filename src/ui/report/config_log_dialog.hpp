// The Qt skin of "Sensor Configuration Log": the report's lines in a multi-selection list,
// "Save...", "Export Snapshot..." and the list's right-click "Copy".
#pragma once

#include <QDialog>

#include "common/prompter.hpp"
#include "link/sensor_link.hpp"
#include "report/config_report.hpp"

class QListWidget;
class QPushButton;

namespace kelpira::ui {

class ConfigLogDialog : public QDialog {
    Q_OBJECT

  public:
    ConfigLogDialog(link::SensorLink& link, common::Prompter& prompter, report::ConfigReport report,
                    QWidget* parent = nullptr);

    QListWidget* list() const { return list_; }
    QPushButton* save_button() const { return save_; }
    QPushButton* export_button() const { return export_; }
    // The context menu's "Copy": the selected lines, each with CR LF, on the clipboard.
    void copy_selection();

  private:
    void show_menu(const QPoint& at);

    link::SensorLink& link_;
    common::Prompter& prompter_;
    report::ConfigReport report_;
    QListWidget* list_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* export_ = nullptr;
};

// Reads the report from the sensor (the wait cursor shows meanwhile) and runs the dialog
// modally over `parent`.
void run_config_log_dialog(QWidget* parent, link::SensorLink& link, common::Prompter& prompter);

}  // namespace kelpira::ui
