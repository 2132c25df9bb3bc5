// The Qt skin of "Configure RS232": the host platform's protocol, the line settings and the
// mode of the sensor's RS232 interface, and "Save".
#pragma once

#include <QDialog>
#include <memory>

#include "common/prompter.hpp"
#include "config/platform_settings_controller.hpp"
#include "link/sensor_link.hpp"
#include "ui/config/serial_line_rows.hpp"

class QComboBox;
class QPushButton;

namespace kelpira::ui {

class Rs232Dialog : public QDialog {
    Q_OBJECT

  public:
    // The dialog filled from the sensor, or nullptr when the record could not be read (after
    // the message).
    static std::unique_ptr<Rs232Dialog> create(link::SensorLink& link, common::Prompter& prompter,
                                               QWidget* parent = nullptr);

    QComboBox* platform_list() const { return line_.platform; }
    QComboBox* baud_list() const { return line_.baud; }
    QComboBox* parity_list() const { return line_.parity; }
    QComboBox* mode_list() const { return mode_; }
    QPushButton* save_button() const { return save_; }

  private:
    Rs232Dialog(link::SensorLink& link, common::Prompter& prompter, QWidget* parent);
    void show_controls();

    link::SensorLink& link_;
    common::Prompter& prompter_;
    config::Rs232Controls controls_;
    SerialLineRows line_;
    QComboBox* mode_ = nullptr;
    QPushButton* save_ = nullptr;
};

// Runs the dialog modally over `parent`, unless it closed while opening.
void run_rs232_dialog(QWidget* parent, link::SensorLink& link, common::Prompter& prompter);

}  // namespace kelpira::ui
