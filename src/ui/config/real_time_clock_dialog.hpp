// The Qt skin of "Configure Sensor's Real Time Clock": the sensor's clock shown live in large
// type, the two choices of what "Set Now" sends, the date and time pickers, and "Set Now".
#pragma once

#include <QDialog>
#include <chrono>
#include <memory>
#include <string>

#include "common/prompter.hpp"
#include "config/real_time_clock_controller.hpp"
#include "link/sensor_link.hpp"
#include "ui/common/handoff.hpp"

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QRadioButton;
class QTimeEdit;

namespace kelpira::ui {

class RealTimeClockDialog : public QDialog {
    Q_OBJECT

  public:
    // Opens at once and starts the display; `pc_now` is the PC's local clock outside tests.
    // `log_path` is the clock log "Record Offset..." offers, kept by the caller for the session.
    RealTimeClockDialog(link::SensorLink& link, common::Prompter& prompter, std::string& log_path,
                        QWidget* parent = nullptr, config::PcClock pc_now = config::pc_local_time,
                        std::chrono::milliseconds period = config::ClockDisplay::kPeriod);
    ~RealTimeClockDialog() override;

    QLabel* display() const { return display_; }
    QRadioButton* choice(config::ClockSource source) const {
        return source == config::ClockSource::pc ? pc_ : picked_;
    }
    QDateEdit* date_picker() const { return date_; }
    QTimeEdit* time_picker() const { return time_; }
    QPushButton* set_now_button() const { return set_now_; }
    QLabel* pc_note() const { return pc_note_; }
    QComboBox* event_choice() const { return event_; }
    QPushButton* record_offset_button() const { return record_offset_; }

  private:
    void choose(config::ClockSource source);
    void pickers_changed();

    Handoff<RealTimeClockDialog> handoff_;
    std::unique_ptr<config::RealTimeClockController> controller_;
    QLabel* display_ = nullptr;
    QRadioButton* picked_ = nullptr;
    QRadioButton* pc_ = nullptr;
    QDateEdit* date_ = nullptr;
    QTimeEdit* time_ = nullptr;
    QPushButton* set_now_ = nullptr;
    QLabel* pc_note_ = nullptr;
    QComboBox* event_ = nullptr;
    QPushButton* record_offset_ = nullptr;
};

// Runs the dialog modally over `parent`; the display stops when it closes. `log_path`: as
// for the dialog.
void run_real_time_clock_dialog(QWidget* parent, link::SensorLink& link, common::Prompter& prompter,
                                std::string& log_path);

}  // namespace kelpira::ui
