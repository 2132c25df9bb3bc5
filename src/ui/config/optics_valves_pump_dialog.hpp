// The Qt skin of "Configure Optics, Valves & Pump Defaults": draws the controller's controls
// and enabling, forwards edits, and carries the live test's poll reports to the UI thread.
#pragma once

#include <QDialog>
#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "common/prompter.hpp"
#include "config/optics_valves_pump_controller.hpp"
#include "link/sensor_link.hpp"
#include "ui/common/handoff.hpp"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace kelpira::ui {

class OpticsValvesPumpDialog : public QDialog {
    Q_OBJECT

  public:
    // The dialog loaded from the sensor, or nullptr when loading failed (after the message).
    static std::unique_ptr<OpticsValvesPumpDialog> create(
        link::SensorLink& link, common::Prompter& prompter, QWidget* parent = nullptr,
        std::chrono::milliseconds poll_period = config::OpticsValvesPumpController::kPollPeriod);
    ~OpticsValvesPumpDialog() override;

    config::OpticsValvesPumpController& controller() { return *controller_; }
    QLineEdit* led_field(std::size_t i) const { return leds_[i]; }
    QCheckBox* test_optics_box() const { return test_optics_; }
    QPushButton* save_button() const { return save_; }
    QPushButton* start_stop_button() const { return start_stop_; }
    QLineEdit* channel_field(std::size_t i) const { return channels_[i]; }

    // Closing stops the test first.
    void reject() override;

  signals:
    // A poll report has been shown.
    void test_polled();

  private:
    OpticsValvesPumpDialog(link::SensorLink& link, common::Prompter& prompter, QWidget* parent,
                           std::chrono::milliseconds poll_period);
    void build();
    QLineEdit* field(QString object_name, config::OpticsField config::OpticsControls::*text,
                     const char* tip);
    QCheckBox* check(const QString& label, bool config::OpticsControls::*flag, const char* tip);
    QComboBox* list(QString object_name, std::span<const records::ListEntry> entries,
                    std::uint8_t config::OpticsControls::*value, const char* tip);
    void on_report(const config::TestPollReport& report);
    void render();

    Handoff<OpticsValvesPumpDialog> handoff_;
    std::unique_ptr<config::OpticsValvesPumpController> controller_;
    std::array<QLineEdit*, records::kLedCount> leds_{};
    QCheckBox* photodiode_power_ = nullptr;
    QComboBox* pmt_instrument_ = nullptr;
    QLineEdit* pmt_control_ = nullptr;
    std::array<QWidget*, 4> dic_{};
    QComboBox* stop_condition_ = nullptr;
    std::array<QLineEdit*, 2> hall_limits_{};
    QLineEdit* pump_timeout_ = nullptr;
    QCheckBox* hall_power_ = nullptr;
    std::vector<QWidget*> basics_;
    std::array<QCheckBox*, records::kValveCount> valves_{};
    QCheckBox* test_valves_ = nullptr;
    QCheckBox* test_optics_ = nullptr;
    QCheckBox* test_pump_ = nullptr;
    QCheckBox* pump_continuously_ = nullptr;
    QCheckBox* show_as_volts_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* start_stop_ = nullptr;
    std::array<QLineEdit*, config::kTestChannels> channels_{};
    std::array<QLineEdit*, 2> halls_{};
    // Every control bound to the controls record, redrawn from it by render().
    std::vector<std::function<void()>> redraw_;
};

void run_optics_valves_pump_dialog(QWidget* parent, link::SensorLink& link,
                                   common::Prompter& prompter);

}  // namespace kelpira::ui
