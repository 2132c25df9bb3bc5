// The optics, valves and pump dialog's widgets: groups of fields bound to the controller's
// controls, the live test's read-only value fields, and the hand-off of the poller's reports.
#include "ui/config/optics_valves_pump_dialog.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelpira::ui {

namespace {

using config::OpticsControls;

QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A control's label and a list's entries, from its field's row.
template <typename Rec>
QString caption(const records::Field<Rec>& row) {
    return q(row.spec.caption);
}

// Enables a control and the label its form row gives it.
void set_enabled(QWidget* w, bool on) {
    w->setEnabled(on);
    auto* form =
        w->parentWidget() ? qobject_cast<QFormLayout*>(w->parentWidget()->layout()) : nullptr;
    if (QWidget* label = form ? form->labelForField(w) : nullptr) {
        label->setEnabled(on);
    }
}

}  // namespace

std::unique_ptr<OpticsValvesPumpDialog> OpticsValvesPumpDialog::create(
    link::SensorLink& link, common::Prompter& prompter, QWidget* parent,
    std::chrono::milliseconds poll_period) {
    std::unique_ptr<OpticsValvesPumpDialog> dialog(
        new OpticsValvesPumpDialog(link, prompter, parent, poll_period));
    if (!dialog->controller_->open()) {
        return nullptr;
    }
    dialog->build();
    dialog->render();
    return dialog;
}

OpticsValvesPumpDialog::OpticsValvesPumpDialog(link::SensorLink& link, common::Prompter& prompter,
                                               QWidget* parent,
                                               std::chrono::milliseconds poll_period)
    : QDialog(parent), handoff_(this) {
    controller_ = std::make_unique<config::OpticsValvesPumpController>(
        link, prompter,
        [handoff = handoff_](const config::TestPollReport& r) {
            handoff.post([r](OpticsValvesPumpDialog& d) { d.on_report(r); });
        },
        poll_period);
    controller_->records_shown = [this] { render(); };
    setWindowTitle(q(config::kOpticsDialogTitle));
}

OpticsValvesPumpDialog::~OpticsValvesPumpDialog() {
    handoff_.close();
    controller_.reset();  // ends a poller still running
}

QLineEdit* OpticsValvesPumpDialog::field(QString object_name,
                                         config::OpticsField OpticsControls::*text,
                                         const char* tip) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(std::move(object_name));
    edit->setToolTip(q(tip));
    connect(edit, &QLineEdit::textEdited, this, [this, text](const QString& typed) {
        (controller_->controls().*text).text = typed.toStdString();
    });
    redraw_.push_back([this, edit, text] {
        const QString shown = q((controller_->controls().*text).text);
        if (edit->text() != shown) {
            edit->setText(shown);
        }
    });
    return edit;
}

QCheckBox* OpticsValvesPumpDialog::check(const QString& label, bool OpticsControls::*flag,
                                         const char* tip) {
    auto* box = new QCheckBox(label, this);
    if (tip != nullptr) {
        box->setToolTip(q(tip));
    }
    connect(box, &QCheckBox::toggled, this, [this, flag](bool on) {
        controller_->controls().*flag = on;
        render();
    });
    redraw_.push_back([this, box, flag] {
        const QSignalBlocker block(box);
        box->setChecked(controller_->controls().*flag);
    });
    return box;
}

QComboBox* OpticsValvesPumpDialog::list(QString object_name,
                                        std::span<const records::ListEntry> entries,
                                        std::uint8_t OpticsControls::*value, const char* tip) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(std::move(object_name));
    combo->setToolTip(q(tip));
    for (const auto& e : entries) {
        combo->addItem(q(e.text), e.value);
    }
    connect(combo, &QComboBox::activated, this, [this, combo, value](int index) {
        controller_->controls().*value = static_cast<std::uint8_t>(combo->itemData(index).toUInt());
        if (combo == stop_condition_) {
            controller_->stop_condition_changed();
        }
        render();
    });
    redraw_.push_back([this, combo, value] {
        const QSignalBlocker block(combo);
        // A stored value no entry offers is shown as such and kept unless another is picked.
        const std::uint8_t shown = controller_->controls().*value;
        if (combo->findData(shown) < 0) {
            combo->addItem(QString("unknown (%1)").arg(shown), shown);
        }
        combo->setCurrentIndex(combo->findData(shown));
    });
    return combo;
}

void OpticsValvesPumpDialog::build() {
    using C = OpticsControls;
    namespace tip = config::optics_tips;
    namespace rows = config::optics_rows;
    auto* top = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    top->addLayout(columns);

    auto* optics_box = new QGroupBox(tr("Optics"), this);
    auto* optics = new QFormLayout(optics_box);
    for (std::size_t i = 0; i < records::kLedCount; ++i) {
        const QString label = caption(rows::led).arg(i);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(label);
        edit->setToolTip(q(tip::kLed));
        connect(edit, &QLineEdit::textEdited, this, [this, i](const QString& typed) {
            controller_->controls().led_ma[i].text = typed.toStdString();
        });
        redraw_.push_back([this, edit, i] {
            const QString shown = q(controller_->controls().led_ma[i].text);
            if (edit->text() != shown) {
                edit->setText(shown);
            }
        });
        leds_[i] = edit;
        optics->addRow(label, edit);
        basics_.push_back(edit);
    }
    photodiode_power_ =
        check(caption(rows::photodiode_power), &C::photodiode_power, tip::kPhotodiodePower);
    optics->addRow(photodiode_power_);
    basics_.push_back(photodiode_power_);
    pmt_instrument_ = list(caption(rows::pmt_instrument), rows::pmt_instrument.spec.choices,
                           &C::pmt_instrument, tip::kPmtInstrument);
    optics->addRow(caption(rows::pmt_instrument), pmt_instrument_);
    pmt_control_ = field(caption(rows::pmt_control_v), &C::pmt_control_v, tip::kPmtControl);
    optics->addRow(caption(rows::pmt_control_v), pmt_control_);
    auto* rxgain = check(caption(rows::dic_rxgain), &C::dic_rxgain, tip::kDicRxgain);
    optics->addRow(rxgain);
    const auto dic_row = [this, optics](const QString& label, config::OpticsField C::*text,
                                        const char* tip) {
        auto* edit = field(label, text, tip);
        optics->addRow(label, edit);
        return edit;
    };
    auto* offset = dic_row(caption(rows::dic_offset_v), &C::dic_offset_v, tip::kDicOffset);
    auto* frequency =
        dic_row(caption(rows::dic_frequency_khz), &C::dic_frequency_khz, tip::kDicFrequency);
    auto* excitation =
        dic_row(caption(rows::dic_excitation_pct), &C::dic_excitation_pct, tip::kDicExcitation);
    dic_ = {rxgain, offset, frequency, excitation};
    columns->addWidget(optics_box);

    auto* pump_box = new QGroupBox(tr("Pump && Valves"), this);
    auto* pump = new QFormLayout(pump_box);
    const auto basic = [this, pump](const QString& label, QWidget* w) {
        pump->addRow(label, w);
        basics_.push_back(w);
    };
    const auto pump_field = [this](const records::Field<records::PumpValveDefaults>& row,
                                   config::OpticsField C::*text,
                                   const char* tip) { return field(caption(row), text, tip); };
    basic(caption(rows::valve_spike_ms),
          pump_field(rows::valve_spike_ms, &C::valve_spike_ms, tip::kValveSpike));
    basic(caption(rows::pump_current_ma),
          pump_field(rows::pump_current_ma, &C::pump_current_ma, tip::kPumpCurrent));
    basic(caption(rows::pump_step_period_us),
          pump_field(rows::pump_step_period_us, &C::pump_step_period_us, tip::kStepPeriod));
    basic(caption(rows::pump_microstepping),
          list(caption(rows::pump_microstepping), rows::pump_microstepping.spec.choices,
               &C::pump_microstepping, tip::kMicrostepping));
    basic(caption(rows::pump_direction),
          list(caption(rows::pump_direction), rows::pump_direction.spec.choices, &C::pump_direction,
               tip::kDirection));
    stop_condition_ =
        list(caption(rows::pump_stop_condition), rows::pump_stop_condition.spec.choices,
             &C::pump_stop_condition, tip::kStopCondition);
    basic(caption(rows::pump_stop_condition), stop_condition_);
    hall_limits_ = {
        pump_field(rows::hall_limit_inject, &C::hall_limit_inject, tip::kHallInject),
        pump_field(rows::hall_limit_withdraw, &C::hall_limit_withdraw, tip::kHallWithdraw)};
    pump->addRow(caption(rows::hall_limit_inject), hall_limits_[0]);
    pump->addRow(caption(rows::hall_limit_withdraw), hall_limits_[1]);
    pump_timeout_ = pump_field(rows::pump_timeout_s, &C::pump_timeout_s, tip::kPumpTimeout);
    pump->addRow(caption(rows::pump_timeout_s), pump_timeout_);
    hall_power_ = check(caption(rows::hall_power), &C::hall_power, tip::kHallPower);
    pump->addRow(hall_power_);
    columns->addWidget(pump_box);

    auto* test_box = new QGroupBox(tr("Test"), this);
    auto* test = new QGridLayout(test_box);
    test_valves_ = check(tr("Test Valves"), &C::test_valves, nullptr);
    test->addWidget(test_valves_, 0, 0);
    auto* valve_grid = new QGridLayout;
    for (std::size_t i = 0; i < records::kValveCount; ++i) {
        auto* box = new QCheckBox(QString::number(i), this);
        connect(box, &QCheckBox::toggled, this,
                [this, i](bool on) { controller_->controls().valves[i] = on; });
        redraw_.push_back([this, box, i] {
            const QSignalBlocker block(box);
            box->setChecked(controller_->controls().valves[i]);
        });
        valves_[i] = box;
        valve_grid->addWidget(box, static_cast<int>(i / 8), static_cast<int>(i % 8));
    }
    test->addLayout(valve_grid, 0, 1, 1, 4);
    test_optics_ = check(tr("Test Optics"), &C::test_optics, nullptr);
    test->addWidget(test_optics_, 1, 0);
    test_pump_ = check(tr("Test Pump"), &C::test_pump, nullptr);
    test->addWidget(test_pump_, 2, 0);
    pump_continuously_ =
        check(tr("Pump Continuously"), &C::pump_continuously, tip::kPumpContinuously);
    test->addWidget(pump_continuously_, 2, 1);
    auto* values = new QGridLayout;
    for (std::size_t i = 0; i < config::kTestChannels; ++i) {
        auto* ch = new QLineEdit(this);
        ch->setReadOnly(true);
        ch->setObjectName(QString("Ch %1").arg(i));
        channels_[i] = ch;
        const int row = static_cast<int>(i / 4);
        const int column = static_cast<int>(i % 4) * 2;
        values->addWidget(new QLabel(QString("Ch %1").arg(i), this), row, column);
        values->addWidget(ch, row, column + 1);
    }
    for (std::size_t i = 0; i < halls_.size(); ++i) {
        halls_[i] = new QLineEdit(this);
        halls_[i]->setReadOnly(true);
        values->addWidget(new QLabel(QString("Hall %1").arg(i), this), 2, static_cast<int>(i) * 2);
        values->addWidget(halls_[i], 2, static_cast<int>(i) * 2 + 1);
    }
    test->addLayout(values, 3, 0, 1, 5);
    show_as_volts_ = check(tr("Show as volts"), &C::show_as_volts, tip::kShowAsVolts);
    start_stop_ = new QPushButton(tr("Start"), this);
    start_stop_->setToolTip(q(tip::kStartStop));
    start_stop_->setAutoDefault(false);
    test->addWidget(start_stop_, 4, 0);
    test->addWidget(show_as_volts_, 4, 1);
    top->addWidget(test_box);

    save_ = new QPushButton(tr("Save"), this);
    save_->setToolTip(q(tip::kSave));
    save_->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save_);
    top->addLayout(buttons);

    connect(save_, &QPushButton::clicked, this, [this] {
        controller_->save_defaults();
        render();
    });
    connect(start_stop_, &QPushButton::clicked, this, [this] {
        controller_->start_stop();
        render();
    });
}

void OpticsValvesPumpDialog::on_report(const config::TestPollReport& report) {
    controller_->test_report(report);
    render();
    emit test_polled();
}

void OpticsValvesPumpDialog::render() {
    for (const auto& redraw : redraw_) {
        redraw();
    }
    const config::OpticsEnabling e = controller_->enabling();
    for (auto* w : basics_) {
        set_enabled(w, e.basics);
    }
    set_enabled(pmt_instrument_, e.pmt_instrument);
    set_enabled(pmt_control_, e.pmt_control);
    for (auto* w : dic_) {
        set_enabled(w, e.dic);
    }
    for (auto* w : hall_limits_) {
        set_enabled(w, e.hall_limits);
    }
    set_enabled(pump_timeout_, e.pump_timeout);
    hall_power_->setEnabled(e.hall_power);
    for (auto* w : valves_) {
        w->setEnabled(e.valves);
    }
    pump_continuously_->setEnabled(e.pump_continuously);
    for (auto* w : {test_valves_, test_optics_, test_pump_}) {
        w->setEnabled(e.test_boxes);
    }
    save_->setEnabled(e.save);
    start_stop_->setEnabled(e.start_stop);
    start_stop_->setText(q(controller_->start_stop_text()));
    show_as_volts_->setEnabled(e.show_as_volts);
    const auto channels = controller_->channel_texts();
    for (std::size_t i = 0; i < channels_.size(); ++i) {
        channels_[i]->setText(q(channels[i]));
    }
    const auto halls = controller_->hall_texts();
    for (std::size_t i = 0; i < halls_.size(); ++i) {
        halls_[i]->setText(q(halls[i]));
    }
}

void OpticsValvesPumpDialog::reject() {
    controller_->close();
    QDialog::reject();
}

void run_optics_valves_pump_dialog(QWidget* parent, link::SensorLink& link,
                                   common::Prompter& prompter) {
    if (auto dialog = OpticsValvesPumpDialog::create(link, prompter, parent)) {
        dialog->exec();
    }
}

}  // namespace kelpira::ui
