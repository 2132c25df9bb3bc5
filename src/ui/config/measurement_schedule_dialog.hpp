// The Qt skin of "Configure Measurement Schedule": start date and time, the three interval
// buttons with their entries (drawn red while invalid), the optional stop time, and "Save".
#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "common/prompter.hpp"
#include "config/measurement_schedule_controller.hpp"
#include "link/sensor_link.hpp"

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;

namespace kelpira::ui {

class MeasurementScheduleDialog : public QDialog {
    Q_OBJECT

  public:
    // The dialog filled from the sensor, or nullptr when the schedule could not be read or
    // the firmware is too old for it (after the message).
    static std::unique_ptr<MeasurementScheduleDialog> create(link::SensorLink& link,
                                                             common::Prompter& prompter,
                                                             QWidget* parent = nullptr);

    // The buttons "Continuously", "Every" (hours), "Every" (minutes).
    QRadioButton* interval_button(std::size_t index) const { return intervals_[index]; }
    QLineEdit* hours_field() const { return hours_; }
    QLineEdit* minutes_field() const { return minutes_; }
    QCheckBox* stop_check() const { return stop_check_; }
    QDateEdit* start_date() const { return start_date_; }
    QTimeEdit* start_time() const { return start_time_; }
    QDateEdit* stop_date() const { return stop_date_; }
    QTimeEdit* stop_time() const { return stop_time_; }
    QPushButton* save_button() const { return save_; }

  private:
    MeasurementScheduleDialog(link::SensorLink& link, common::Prompter& prompter, QWidget* parent);
    void render();
    void render_entries();

    config::MeasurementScheduleController controller_;
    std::array<QRadioButton*, 3> intervals_{};
    QLineEdit* hours_ = nullptr;
    QLineEdit* minutes_ = nullptr;
    QCheckBox* stop_check_ = nullptr;
    QDateEdit* start_date_ = nullptr;
    QTimeEdit* start_time_ = nullptr;
    QDateEdit* stop_date_ = nullptr;
    QTimeEdit* stop_time_ = nullptr;
    QPushButton* save_ = nullptr;
};

// Runs the dialog modally over `parent`, unless it closed while opening.
void run_measurement_schedule_dialog(QWidget* parent, link::SensorLink& link,
                                     common::Prompter& prompter);

}  // namespace kelpira::ui
