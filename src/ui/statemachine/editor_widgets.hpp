// The controls of "Edit State Machine": built once, filled from the controller's form, and
// their edits written back into it.
#pragma once

#include <array>
#include <functional>

#include "statemachine/editor_form.hpp"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace kelpira::ui {

struct CounterWidgets {
    QComboBox* mode = nullptr;
    QLineEdit* increment = nullptr;
    QLineEdit* limit = nullptr;
    QLineEdit* next_state = nullptr;
};

struct EditorWidgets {
    std::array<QCheckBox*, statemachine::kValveCount> valves{};
    std::array<QComboBox*, statemachine::kLedCount> leds{};
    std::array<QLineEdit*, statemachine::kLedCount> led_currents{};
    QComboBox* state_switch = nullptr;
    QCheckBox* hall_power = nullptr;
    QCheckBox* photodiode_power = nullptr;
    QCheckBox* pump_on = nullptr;
    QComboBox* direction = nullptr;
    QLineEdit* winding_current = nullptr;
    QLineEdit* step_period = nullptr;
    QComboBox* microstep = nullptr;
    QComboBox* stop_mode = nullptr;
    QLineEdit* hall_stop_inject = nullptr;
    QLineEdit* hall_stop_withdraw = nullptr;
    QLineEdit* pump_timeout = nullptr;
    QLineEdit* pump_timeout_next = nullptr;
    QLineEdit* step_count = nullptr;
    QCheckBox* send_sync = nullptr;
    QLineEdit* sync_value = nullptr;
    QLineEdit* default_next = nullptr;
    std::array<CounterWidgets, statemachine::kCounterCount> counters{};
    QComboBox* dive_level = nullptr;
    QLineEdit* dive_next = nullptr;
    QComboBox* climb_level = nullptr;
    QLineEdit* climb_next = nullptr;
    QRadioButton* wait_seconds = nullptr;
    QRadioButton* wait_schedule = nullptr;
    QLineEdit* delay_s = nullptr;
    QPushButton* schedule = nullptr;
    QComboBox* power_mode = nullptr;
};

// How the widgets reach the form: `form` is the one they edit; `changed` runs after a list,
// check box or radio button changed it (enabling may follow), `pump_changed` after "Operate
// Pump" or the stop mode did, `led_changed` after an LED's On/Off list did.
struct EditorBinding {
    std::function<statemachine::EditorForm&()> form;
    std::function<void()> changed;
    std::function<void()> pump_changed;
    std::function<void()> led_changed;
};

// Builds the controls inside `area` and connects them to the binding.
EditorWidgets build_editor_widgets(QWidget* area, const EditorBinding& binding);

// Shows the form in the widgets without reporting the changes back.
void show_form(const EditorWidgets& w, const statemachine::EditorForm& form);

void show_enabling(const EditorWidgets& w, const statemachine::EditorEnabling& e);

}  // namespace kelpira::ui
