// The editor's control panel: valves, optics and supplies, pump, counters, depth triggers,
// delay and power mode, each bound to one field of the form.
#include "ui/statemachine/editor_widgets.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>

namespace kelpira::ui {
namespace {

using statemachine::EditorForm;

QString q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QComboBox* list(QWidget* parent, statemachine::ListTable entries) {
    auto* box = new QComboBox(parent);
    for (const auto& e : entries) {
        box->addItem(q(e.text));
    }
    return box;
}

// Digits only, as a number edit takes them.
QLineEdit* number_edit(QWidget* parent, std::string_view tip = {}) {
    auto* edit = new QLineEdit(parent);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->setMaximumWidth(90);
    if (!tip.empty()) {
        edit->setToolTip(q(tip));
    }
    return edit;
}

QLineEdit* read_only_edit(QWidget* parent, std::string_view tip = {}) {
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(true);
    edit->setMaximumWidth(90);
    if (!tip.empty()) {
        edit->setToolTip(q(tip));
    }
    return edit;
}

// Connection helpers: each writes the widget's value into one field of the form.
void bind_text(QLineEdit* edit, const EditorBinding& b, std::string EditorForm::*field) {
    QObject::connect(edit, &QLineEdit::textEdited, edit,
                     [b, field](const QString& text) { b.form().*field = text.toStdString(); });
}
void bind_text(QLineEdit* edit, const EditorBinding& b,
               std::function<std::string&(EditorForm&)> field) {
    QObject::connect(edit, &QLineEdit::textEdited, edit,
                     [b, field](const QString& text) { field(b.form()) = text.toStdString(); });
}
void bind_list(QComboBox* box, const EditorBinding& b, std::function<int&(EditorForm&)> field,
               bool pump = false) {
    QObject::connect(box, &QComboBox::currentIndexChanged, box, [b, field, pump](int index) {
        field(b.form()) = index;
        pump ? b.pump_changed() : b.changed();
    });
}
void bind_check(QCheckBox* box, const EditorBinding& b, std::function<bool&(EditorForm&)> field,
                bool pump = false) {
    QObject::connect(box, &QCheckBox::toggled, box, [b, field, pump](bool on) {
        field(b.form()) = on;
        pump ? b.pump_changed() : b.changed();
    });
}

void set_text(QLineEdit* edit, const std::string& text) {
    const QSignalBlocker block(edit);
    edit->setText(QString::fromStdString(text));
}
void set_index(QComboBox* box, int index) {
    const QSignalBlocker block(box);
    box->setCurrentIndex(index);
}
void set_check(QAbstractButton* box, bool on) {
    const QSignalBlocker block(box);
    box->setChecked(on);
}

QGroupBox* build_valves(QWidget* parent, EditorWidgets& w, const EditorBinding& b) {
    auto* box = new QGroupBox(QObject::tr("Valves"), parent);
    auto* grid = new QGridLayout(box);
    for (std::size_t i = 0; i < statemachine::kValveCount; ++i) {
        auto* check = new QCheckBox(QString::number(i), box);
        check->setToolTip(q(statemachine::editor_tips::kValve));
        grid->addWidget(check, static_cast<int>(i / 8), static_cast<int>(i % 8));
        bind_check(check, b, [i](EditorForm& f) -> bool& { return f.valves[i]; });
        w.valves[i] = check;
    }
    return box;
}

QGroupBox* build_optics(QWidget* parent, EditorWidgets& w, const EditorBinding& b) {
    auto* box = new QGroupBox(QObject::tr("Optics"), parent);
    auto* grid = new QGridLayout(box);
    for (std::size_t i = 0; i < statemachine::kLedCount; ++i) {
        const int row = static_cast<int>(i);
        grid->addWidget(new QLabel(QObject::tr("LED %1").arg(i + 1), box), row, 0);
        w.leds[i] = list(box, statemachine::kLedList);
        QObject::connect(w.leds[i], &QComboBox::currentIndexChanged, box, [b, i](int index) {
            b.form().leds[i] = index;
            b.led_changed();
        });
        grid->addWidget(w.leds[i], row, 1);
        w.led_currents[i] = read_only_edit(box, statemachine::editor_tips::kLedCurrent);
        grid->addWidget(w.led_currents[i], row, 2);
        grid->addWidget(new QLabel(QObject::tr("mA"), box), row, 3);
    }
    w.state_switch = list(box, statemachine::kStateSwitchList);
    bind_list(w.state_switch, b, [](EditorForm& f) -> int& { return f.state_switch; });
    grid->addWidget(w.state_switch, 0, 4);
    w.hall_power = new QCheckBox(QObject::tr("Enable Hall Sensors 5V Power"), box);
    bind_check(w.hall_power, b, [](EditorForm& f) -> bool& { return f.hall_power; });
    grid->addWidget(w.hall_power, 4, 0, 1, 5);
    w.photodiode_power = new QCheckBox(QObject::tr("Enable Photodiodes 5V Power"), box);
    bind_check(w.photodiode_power, b, [](EditorForm& f) -> bool& { return f.photodiode_power; });
    grid->addWidget(w.photodiode_power, 5, 0, 1, 5);
    return box;
}

QGroupBox* build_pump(QWidget* parent, EditorWidgets& w, const EditorBinding& b) {
    namespace tips = statemachine::editor_tips;
    auto* box = new QGroupBox(QObject::tr("Pump"), parent);
    auto* grid = new QGridLayout(box);
    int row = 0;
    const auto add = [&](const QString& label, QWidget* widget) {
        grid->addWidget(new QLabel(label, box), row, 0);
        grid->addWidget(widget, row, 1);
        ++row;
    };
    w.pump_on = new QCheckBox(QObject::tr("Operate Pump"), box);
    bind_check(
        w.pump_on, b, [](EditorForm& f) -> bool& { return f.pump_on; }, true);
    grid->addWidget(w.pump_on, row++, 0, 1, 2);
    w.direction = list(box, statemachine::kPumpDirectionList);
    bind_list(w.direction, b, [](EditorForm& f) -> int& { return f.direction; });
    add(QObject::tr("Direction"), w.direction);
    w.winding_current = number_edit(box, tips::kWindingCurrent);
    bind_text(w.winding_current, b, &EditorForm::winding_current);
    add(QObject::tr("Winding Current (mA)"), w.winding_current);
    w.step_period = number_edit(box, tips::kStepPeriod);
    bind_text(w.step_period, b, &EditorForm::step_period);
    add(QObject::tr("Step Period (us)"), w.step_period);
    w.microstep = list(box, statemachine::kMicrostepList);
    bind_list(w.microstep, b, [](EditorForm& f) -> int& { return f.microstep; });
    add(QObject::tr("Microstepping"), w.microstep);
    w.stop_mode = list(box, statemachine::kPumpStopList);
    bind_list(
        w.stop_mode, b, [](EditorForm& f) -> int& { return f.stop_mode; }, true);
    add(QObject::tr("Stop On"), w.stop_mode);
    w.hall_stop_inject = read_only_edit(box, tips::kHallStopInject);
    add(QObject::tr("Hall Stop (Inject)"), w.hall_stop_inject);
    w.hall_stop_withdraw = read_only_edit(box, tips::kHallStopWithdraw);
    add(QObject::tr("Hall Stop (Withdraw)"), w.hall_stop_withdraw);
    w.pump_timeout = number_edit(box, tips::kPumpTimeout);
    bind_text(w.pump_timeout, b, &EditorForm::pump_timeout);
    add(QObject::tr("Timeout (s)"), w.pump_timeout);
    w.pump_timeout_next = number_edit(box, tips::kPumpTimeoutNext);
    bind_text(w.pump_timeout_next, b, &EditorForm::pump_timeout_next);
    add(QObject::tr("Timeout Next State"), w.pump_timeout_next);
    w.step_count = read_only_edit(box);
    add(QObject::tr("Step Count"), w.step_count);
    return box;
}

QGroupBox* build_counters(QWidget* parent, EditorWidgets& w, const EditorBinding& b) {
    namespace tips = statemachine::editor_tips;
    auto* box = new QGroupBox(QObject::tr("Counters"), parent);
    auto* grid = new QGridLayout(box);
    grid->addWidget(new QLabel(QObject::tr("Mode"), box), 0, 1);
    grid->addWidget(new QLabel(QObject::tr("Increment"), box), 0, 2);
    grid->addWidget(new QLabel(QObject::tr("Max"), box), 0, 3);
    grid->addWidget(new QLabel(QObject::tr("Next State"), box), 0, 4);
    for (std::size_t k = 0; k < statemachine::kCounterCount; ++k) {
        const int row = static_cast<int>(k) + 1;
        CounterWidgets& c = w.counters[k];
        grid->addWidget(new QLabel(QObject::tr("Counter %1").arg(k + 1), box), row, 0);
        c.mode = list(box, statemachine::kCounterModeList);
        bind_list(c.mode, b, [k](EditorForm& f) -> int& { return f.counters[k].mode; });
        c.increment = number_edit(box, k == 1 ? tips::kSecondCounter : tips::kIncrement);
        bind_text(c.increment, b,
                  [k](EditorForm& f) -> std::string& { return f.counters[k].increment; });
        c.limit = number_edit(box, k == 1 ? tips::kSecondCounter : tips::kLimit);
        bind_text(c.limit, b, [k](EditorForm& f) -> std::string& { return f.counters[k].limit; });
        c.next_state = number_edit(box, k == 1 ? tips::kSecondCounter : tips::kCounterNext);
        bind_text(c.next_state, b,
                  [k](EditorForm& f) -> std::string& { return f.counters[k].next_state; });
        grid->addWidget(c.mode, row, 1);
        grid->addWidget(c.increment, row, 2);
        grid->addWidget(c.limit, row, 3);
        grid->addWidget(c.next_state, row, 4);
    }
    grid->setRowStretch(static_cast<int>(statemachine::kCounterCount) + 1, 1);
    return box;
}

QGroupBox* build_flow(QWidget* parent, EditorWidgets& w, const EditorBinding& b) {
    namespace tips = statemachine::editor_tips;
    auto* box = new QGroupBox(QObject::tr("Triggers, Delay and Power"), parent);
    auto* grid = new QGridLayout(box);
    grid->addWidget(new QLabel(QObject::tr("Diving Depth"), box), 0, 0);
    w.dive_level = list(box, statemachine::kDiveLevelList);
    bind_list(w.dive_level, b, [](EditorForm& f) -> int& { return f.dive.level; });
    grid->addWidget(w.dive_level, 0, 1);
    w.dive_next = number_edit(box);
    bind_text(w.dive_next, b, [](EditorForm& f) -> std::string& { return f.dive.next_state; });
    grid->addWidget(w.dive_next, 0, 2);
    grid->addWidget(new QLabel(QObject::tr("Climbing Depth"), box), 1, 0);
    w.climb_level = list(box, statemachine::kClimbLevelList);
    bind_list(w.climb_level, b, [](EditorForm& f) -> int& { return f.climb.level; });
    grid->addWidget(w.climb_level, 1, 1);
    w.climb_next = number_edit(box);
    bind_text(w.climb_next, b, [](EditorForm& f) -> std::string& { return f.climb.next_state; });
    grid->addWidget(w.climb_next, 1, 2);

    w.wait_seconds = new QRadioButton(QObject::tr("Wait For This Many Seconds"), box);
    w.wait_schedule = new QRadioButton(QObject::tr("Wait For Next Measurement Time"), box);
    QObject::connect(w.wait_schedule, &QRadioButton::toggled, box, [b](bool on) {
        b.form().wait_for_schedule = on;
        b.changed();
    });
    w.delay_s = number_edit(box, tips::kDelay);
    bind_text(w.delay_s, b, &EditorForm::delay_s);
    w.schedule = new QPushButton(QObject::tr("Schedule..."), box);
    w.schedule->setAutoDefault(false);
    grid->addWidget(w.wait_seconds, 2, 0, 1, 2);
    grid->addWidget(w.delay_s, 2, 2);
    grid->addWidget(w.wait_schedule, 3, 0, 1, 2);
    grid->addWidget(w.schedule, 3, 2);

    grid->addWidget(new QLabel(QObject::tr("Next State"), box), 4, 0);
    w.default_next = number_edit(box, tips::kDefaultNext);
    bind_text(w.default_next, b, &EditorForm::default_next);
    grid->addWidget(w.default_next, 4, 2);
    grid->addWidget(new QLabel(QObject::tr("Power Mode"), box), 5, 0);
    w.power_mode = list(box, statemachine::kPowerModeList);
    bind_list(w.power_mode, b, [](EditorForm& f) -> int& { return f.power_mode; });
    grid->addWidget(w.power_mode, 5, 1, 1, 2);

    w.send_sync = new QCheckBox(QObject::tr("Send Sync"), box);
    w.send_sync->setToolTip(q(tips::kSendSync));
    bind_check(w.send_sync, b, [](EditorForm& f) -> bool& { return f.send_sync; });
    w.sync_value = number_edit(box, tips::kSyncValue);
    bind_text(w.sync_value, b, &EditorForm::sync_value);
    grid->addWidget(w.send_sync, 6, 0, 1, 2);
    grid->addWidget(w.sync_value, 6, 2);
    return box;
}

}  // namespace

EditorWidgets build_editor_widgets(QWidget* area, const EditorBinding& binding) {
    EditorWidgets w;
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(build_valves(area, w, binding), 0, 0, 1, 2);
    grid->addWidget(build_optics(area, w, binding), 1, 0);
    grid->addWidget(build_pump(area, w, binding), 1, 1, 2, 1);
    grid->addWidget(build_flow(area, w, binding), 2, 0);
    grid->addWidget(build_counters(area, w, binding), 0, 2, 3, 1);
    return w;
}

void show_form(const EditorWidgets& w, const EditorForm& f) {
    for (std::size_t i = 0; i < statemachine::kValveCount; ++i) {
        set_check(w.valves[i], f.valves[i]);
    }
    for (std::size_t i = 0; i < statemachine::kLedCount; ++i) {
        set_index(w.leds[i], f.leds[i]);
        set_text(w.led_currents[i], f.led_current[i]);
    }
    set_index(w.state_switch, f.state_switch);
    set_check(w.hall_power, f.hall_power);
    set_check(w.photodiode_power, f.photodiode_power);
    set_check(w.pump_on, f.pump_on);
    set_index(w.direction, f.direction);
    set_text(w.winding_current, f.winding_current);
    set_text(w.step_period, f.step_period);
    set_index(w.microstep, f.microstep);
    set_index(w.stop_mode, f.stop_mode);
    set_text(w.hall_stop_inject, f.hall_stop_inject);
    set_text(w.hall_stop_withdraw, f.hall_stop_withdraw);
    set_text(w.pump_timeout, f.pump_timeout);
    set_text(w.pump_timeout_next, f.pump_timeout_next);
    set_text(w.step_count, f.step_count);
    set_check(w.send_sync, f.send_sync);
    set_text(w.sync_value, f.sync_value);
    set_text(w.default_next, f.default_next);
    for (std::size_t k = 0; k < statemachine::kCounterCount; ++k) {
        set_index(w.counters[k].mode, f.counters[k].mode);
        set_text(w.counters[k].increment, f.counters[k].increment);
        set_text(w.counters[k].limit, f.counters[k].limit);
        set_text(w.counters[k].next_state, f.counters[k].next_state);
    }
    set_index(w.dive_level, f.dive.level);
    set_text(w.dive_next, f.dive.next_state);
    set_index(w.climb_level, f.climb.level);
    set_text(w.climb_next, f.climb.next_state);
    set_check(w.wait_seconds, !f.wait_for_schedule);
    set_check(w.wait_schedule, f.wait_for_schedule);
    set_text(w.delay_s, f.delay_s);
    set_index(w.power_mode, f.power_mode);
}

void show_enabling(const EditorWidgets& w, const statemachine::EditorEnabling& e) {
    for (auto* valve : w.valves) {
        valve->setEnabled(e.valves);
    }
    for (std::size_t i = 0; i < statemachine::kLedCount; ++i) {
        w.leds[i]->setEnabled(e.leds);
        w.led_currents[i]->setEnabled(e.leds);
    }
    w.state_switch->setEnabled(e.state_switch);
    w.hall_power->setEnabled(e.supplies);
    w.photodiode_power->setEnabled(e.supplies);
    w.pump_on->setEnabled(e.pump_on);
    for (QWidget* pump :
         {static_cast<QWidget*>(w.direction), static_cast<QWidget*>(w.microstep),
          static_cast<QWidget*>(w.stop_mode), static_cast<QWidget*>(w.step_count),
          static_cast<QWidget*>(w.winding_current), static_cast<QWidget*>(w.step_period),
          static_cast<QWidget*>(w.hall_stop_inject), static_cast<QWidget*>(w.hall_stop_withdraw)}) {
        pump->setEnabled(e.pump_settings);
    }
    w.pump_timeout->setEnabled(e.pump_timeout);
    w.pump_timeout_next->setEnabled(e.pump_timeout_next);
    w.send_sync->setEnabled(e.send_sync);
    w.sync_value->setEnabled(e.sync_value);
    for (std::size_t k = 0; k < statemachine::kCounterCount; ++k) {
        w.counters[k].mode->setEnabled(e.counters[k].mode);
        w.counters[k].increment->setEnabled(e.counters[k].increment);
        w.counters[k].limit->setEnabled(e.counters[k].limit);
        w.counters[k].next_state->setEnabled(e.counters[k].next_state);
    }
    w.dive_level->setEnabled(e.dive_level);
    w.dive_next->setEnabled(e.dive_next);
    w.climb_level->setEnabled(e.climb_level);
    w.climb_next->setEnabled(e.climb_next);
    w.wait_seconds->setEnabled(e.delay_choice);
    w.wait_schedule->setEnabled(e.delay_choice);
    w.delay_s->setEnabled(e.delay_s);
    w.schedule->setEnabled(e.schedule);
    w.default_next->setEnabled(e.default_next);
}

}  // namespace kelpira::ui
