// The RS485 dialog's widgets.
#include "ui/config/rs485_dialog.hpp"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/config/platform_lists_widgets.hpp"

namespace kelpira::ui {

std::unique_ptr<Rs485Dialog> Rs485Dialog::create(link::SensorLink& link, common::Prompter& prompter,
                                                 QWidget* parent) {
    std::unique_ptr<Rs485Dialog> dialog(new Rs485Dialog(link, prompter, parent));
    if (!config::open_rs485(dialog->controls_, link, prompter)) {
        return nullptr;
    }
    dialog->show_controls();
    return dialog;
}

Rs485Dialog::Rs485Dialog(link::SensorLink& link, common::Prompter& prompter, QWidget* parent)
    : QDialog(parent), link_(link), prompter_(prompter) {
    setWindowTitle(QString::fromUtf8(config::kRs485Title));
    setMinimumWidth(fontMetrics().averageCharWidth() * 40);  // room for the title
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    const auto list = [this, form](const QString& label) {
        auto* box = new QComboBox(this);
        form->addRow(label, box);
        return box;
    };
    platform_ = list(tr("Platform"));
    baud_ = list(tr("Baud Rate"));
    fill_list(baud_, config::kRs485BaudRates);
    parity_ = list(tr("Parity"));
    fill_list(parity_, config::kParities);
    data_bits_ = list(tr("Data Bits"));
    fill_list(data_bits_, config::kDataBits);
    stop_bits_ = list(tr("Stop Bits"));
    fill_list(stop_bits_, config::kStopBits);
    address_ = new QLineEdit(this);
    address_->setToolTip(QString::fromUtf8(config::platform_tips::kSlaveAddress));
    form->addRow(tr("Slave Address"), address_);
    poll_rate_ = new QLineEdit(this);
    form->addRow(tr("Poll Rate (s)"), poll_rate_);

    connect(platform_, &QComboBox::activated, this, [this](int index) {
        config::rs485_platform_chosen(controls_, value_at(platform_, index));
        show_controls();
    });
    connect(baud_, &QComboBox::activated, this,
            [this](int index) { controls_.baud = value_at(baud_, index); });
    connect(parity_, &QComboBox::activated, this, [this](int index) {
        controls_.parity = static_cast<std::uint8_t>(value_at(parity_, index));
    });
    connect(data_bits_, &QComboBox::activated, this, [this](int index) {
        controls_.data_bits = static_cast<std::uint8_t>(value_at(data_bits_, index));
    });
    connect(stop_bits_, &QComboBox::activated, this, [this](int index) {
        controls_.stop_bits = static_cast<std::uint8_t>(value_at(stop_bits_, index));
    });
    connect(address_, &QLineEdit::textEdited, this, [this](const QString& text) {
        controls_.slave_address.text = text.toStdString();
        check_address();
    });
    connect(poll_rate_, &QLineEdit::textEdited, this,
            [this](const QString& text) { controls_.poll_rate_s.text = text.toStdString(); });

    save_ = new QPushButton(tr("Save"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save_);
    layout->addLayout(buttons);
    connect(save_, &QPushButton::clicked, this, [this] {
        config::save_rs485_settings(controls_, link_, prompter_, [this] { show_controls(); });
    });
}

void Rs485Dialog::show_controls() {
    const auto& c = controls_;
    fill_list(platform_, c.protocols);
    select_value(platform_, c.protocol);
    select_value(baud_, c.baud);
    select_value(parity_, c.parity);
    select_value(data_bits_, c.data_bits);
    select_value(stop_bits_, c.stop_bits);
    address_->setText(qt_text(c.slave_address.text));
    poll_rate_->setText(qt_text(c.poll_rate_s.text));
    check_address();
}

void Rs485Dialog::check_address() {
    draw_entry_red(address_, config::rs485_address_red(controls_));
}

void run_rs485_dialog(QWidget* parent, link::SensorLink& link, common::Prompter& prompter) {
    auto dialog = Rs485Dialog::create(link, prompter, parent);
    if (dialog) {
        dialog->exec();
    }
}

}  // namespace kelpira::ui
