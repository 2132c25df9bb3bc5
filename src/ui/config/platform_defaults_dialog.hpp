// The Qt skin of "Configure Platform Defaults": the platform values the sensor holds until its
// host sends its own, and "Save".
#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "common/prompter.hpp"
#include "config/platform_settings_controller.hpp"
#include "link/sensor_link.hpp"

class QComboBox;
class QFormLayout;
class QLineEdit;
class QPushButton;

namespace kelpira::ui {

class PlatformDefaultsDialog : public QDialog {
    Q_OBJECT

  public:
    // The dialog filled from the sensor, or nullptr when the record could not be read (after
    // the message).
    static std::unique_ptr<PlatformDefaultsDialog> create(link::SensorLink& link,
                                                          common::Prompter& prompter,
                                                          QWidget* parent = nullptr);

    QLineEdit* dive_number_field() const { return dive_number_; }
    QLineEdit* time_offset_field() const { return time_offset_; }
    QComboBox* direction_list() const { return direction_; }
    QPushButton* save_button() const { return save_; }

  private:
    PlatformDefaultsDialog(link::SensorLink& link, common::Prompter& prompter, QWidget* parent);
    QLineEdit* add_field(const char* label, const char* tip, config::PlatformField& field);
    void show_controls();

    link::SensorLink& link_;
    common::Prompter& prompter_;
    config::PlatformDefaultsControls controls_;
    QLineEdit* dive_number_ = nullptr;
    QLineEdit* salinity_ = nullptr;
    QLineEdit* temperature_ = nullptr;
    QLineEdit* oxygen_ = nullptr;
    QLineEdit* depth_ = nullptr;
    QComboBox* direction_ = nullptr;
    QLineEdit* time_offset_ = nullptr;
    QLineEdit* p1_ = nullptr;
    QLineEdit* p2_ = nullptr;
    QLineEdit* p3_ = nullptr;
    QPushButton* save_ = nullptr;
    QFormLayout* form_ = nullptr;
};

// Runs the dialog modally over `parent`, unless it closed while opening.
void run_platform_defaults_dialog(QWidget* parent, link::SensorLink& link,
                                  common::Prompter& prompter);

}  // namespace kelpira::ui
