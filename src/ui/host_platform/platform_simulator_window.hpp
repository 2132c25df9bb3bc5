// The modeless "Platform Simulator" window: the two groups of the form, Start, Download and
// Stop, the results list and the status line, over the simulator's controller.
#pragma once

#include <QDialog>
#include <QPointer>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/prompter.hpp"
#include "host_platform/platform_simulator_controller.hpp"
#include "host_platform/simulator_settings.hpp"
#include "ui/common/handoff.hpp"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace kelpira::ui {

class PlatformSimulatorWindow : public QDialog {
    Q_OBJECT

  public:
    PlatformSimulatorWindow(common::Prompter& prompter, QWidget* parent = nullptr,
                            host_platform::SimulatorHooks hooks = {});
    ~PlatformSimulatorWindow() override;

    bool running() const { return controller_->running(); }

    // The widgets, for tests.
    QComboBox* platform_type_box() const { return platform_type_; }
    QComboBox* port_box() const { return port_; }
    QCheckBox* sampling_box() const { return sampling_; }
    QLineEdit* field(const char* label) const;
    QGroupBox* serial_group() const { return serial_group_; }
    QPushButton* start_button() const { return start_; }
    QPushButton* download_button() const { return download_; }
    QPushButton* stop_button() const { return stop_; }
    QTreeWidget* result_list() const { return results_; }
    QLabel* status_line() const { return status_; }

  signals:
    // The status line or the list changed (for tests waiting on the worker's reports).
    void reported();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    void build();
    void list_ports();
    void read_form();
    void show_form();
    void show_enabling();
    void on_platform_type(int index);
    void on_direction(int index);
    void on_start(bool download);
    void on_stop();
    void add_row(const host_platform::ResultRow& row);

    common::Prompter& prompter_;
    host_platform::SimulatorSettings sim_;
    host_platform::SerialSettings serial_;
    Handoff<PlatformSimulatorWindow> handoff_;
    std::map<std::string, QLineEdit*> fields_;  // by label
    std::vector<int> column_widths_;            // of the results list, in characters
    std::unique_ptr<host_platform::PlatformSimulatorController> controller_;

    QComboBox* platform_type_ = nullptr;
    QComboBox* direction_ = nullptr;
    QCheckBox* sampling_ = nullptr;
    QGroupBox* serial_group_ = nullptr;
    QComboBox* port_ = nullptr;
    QCheckBox* override_ = nullptr;
    QComboBox* baud_ = nullptr;
    QComboBox* data_bits_ = nullptr;
    QComboBox* stop_bits_ = nullptr;
    QComboBox* parity_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* download_ = nullptr;
    QPushButton* stop_ = nullptr;
    QTreeWidget* results_ = nullptr;
    QLabel* status_ = nullptr;
};

// The main window's Platform Simulator command: opens the window (deleted when closed), or
// brings the one already open forward.
void open_platform_simulator(QPointer<PlatformSimulatorWindow>& window, common::Prompter& prompter,
                             QWidget* owner);

}  // namespace kelpira::ui
