// The Qt skin of "Configure RS485": the bus protocol, the line settings, the sensor's slave
// address (red when a SenseOCEAN Hub could not reach it) and poll rate, and "Save".
#pragma once

#include <QDialog>
#include <memory>

#include "common/prompter.hpp"
#include "config/platform_settings_controller.hpp"
#include "link/sensor_link.hpp"
#include "ui/config/serial_line_rows.hpp"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace kelpira::ui {

class Rs485Dialog : public QDialog {
    Q_OBJECT

  public:
    // The dialog filled from the sensor, or nullptr when the record could not be read (after
    // the message).
    static std::unique_ptr<Rs485Dialog> create(link::SensorLink& link, common::Prompter& prompter,
                                               QWidget* parent = nullptr);

    QComboBox* platform_list() const { return line_.platform; }
    QComboBox* baud_list() const { return line_.baud; }
    QComboBox* parity_list() const { return line_.parity; }
    QLineEdit* address_field() const { return address_; }
    QLineEdit* poll_rate_field() const { return poll_rate_; }
    QPushButton* save_button() const { return save_; }

  private:
    Rs485Dialog(link::SensorLink& link, common::Prompter& prompter, QWidget* parent);
    void show_controls();
    void check_address();

    link::SensorLink& link_;
    common::Prompter& prompter_;
    config::Rs485Controls controls_;
    SerialLineRows line_;
    QLineEdit* address_ = nullptr;
    QLineEdit* poll_rate_ = nullptr;
    QPushButton* save_ = nullptr;
};

// Runs the dialog modally over `parent`, unless it closed while opening.
void run_rs485_dialog(QWidget* parent, link::SensorLink& link, common::Prompter& prompter);

}  // namespace kelpira::ui
