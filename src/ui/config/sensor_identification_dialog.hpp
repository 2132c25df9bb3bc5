// The Qt skin of "Configure Sensor Identification": name and serial number, drawn in red while
// they cannot be saved, and "Save", after whose message the dialog closes.
#pragma once

#include <QDialog>
#include <memory>

#include "common/prompter.hpp"
#include "config/sensor_identification_controller.hpp"
#include "link/sensor_link.hpp"

class QLineEdit;
class QPushButton;

namespace kelpira::ui {

class SensorIdentificationDialog : public QDialog {
    Q_OBJECT

  public:
    // The dialog filled from the sensor, or nullptr when the record could not be read (after
    // the message).
    static std::unique_ptr<SensorIdentificationDialog> create(link::SensorLink& link,
                                                              common::Prompter& prompter,
                                                              QWidget* parent = nullptr);

    QLineEdit* name_field() const { return name_; }
    QLineEdit* serial_field() const { return serial_; }
    QPushButton* save_button() const { return save_; }

  private:
    SensorIdentificationDialog(link::SensorLink& link, common::Prompter& prompter, QWidget* parent);
    void check_entries();

    link::SensorLink& link_;
    common::Prompter& prompter_;
    config::IdentificationControls controls_;
    QLineEdit* name_ = nullptr;
    QLineEdit* serial_ = nullptr;
    QPushButton* save_ = nullptr;
};

// Runs the dialog modally over `parent`, unless it closed while opening.
void run_sensor_identification_dialog(QWidget* parent, link::SensorLink& link,
                                      common::Prompter& prompter);

}  // namespace kelpira::ui
