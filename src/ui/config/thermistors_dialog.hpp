// The Qt skin of "Configure Thermistors": one group per thermistor with its input channel and
// "Temperature (°C) = a3 volts^3 + a2 volts^2 + a1 volts + a0", and "Save".
#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "common/prompter.hpp"
#include "config/thermistors_controller.hpp"
#include "link/sensor_link.hpp"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace kelpira::ui {

class ThermistorsDialog : public QDialog {
    Q_OBJECT

  public:
    // The dialog filled from the sensor, or nullptr when a thermistor could not be read (after
    // the message).
    static std::unique_ptr<ThermistorsDialog> create(link::SensorLink& link,
                                                     common::Prompter& prompter,
                                                     QWidget* parent = nullptr);

    QComboBox* channel_list(std::size_t thermistor) const { return groups_[thermistor].channel; }
    QLineEdit* coefficient_field(std::size_t thermistor, std::size_t k) const {
        return groups_[thermistor].coefficients[k];
    }
    QPushButton* save_button() const { return save_; }

  private:
    struct Group {
        QComboBox* channel = nullptr;
        std::array<QLineEdit*, 4> coefficients{};
    };

    ThermistorsDialog(link::SensorLink& link, common::Prompter& prompter, QWidget* parent);
    void show_controls();

    link::SensorLink& link_;
    common::Prompter& prompter_;
    config::ThermistorsControls controls_{};
    std::array<Group, config::kThermistors> groups_{};
    QPushButton* save_ = nullptr;
};

// Runs the dialog modally over `parent`, unless it closed while opening.
void run_thermistors_dialog(QWidget* parent, link::SensorLink& link, common::Prompter& prompter);

}  // namespace kelpira::ui
