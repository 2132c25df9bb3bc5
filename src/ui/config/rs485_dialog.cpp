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
    line_ = add_serial_line_rows(this, form, controls_,
                                 records::row_of<records::Rs485Config>("baud").spec.choices,
                                 [this](std::uint32_t protocol) {
                                     config::rs485_platform_chosen(controls_, protocol);
                                     show_controls();
                                 });
    address_ = new QLineEdit(this);
    address_->setToolTip(QString::fromUtf8(config::platform_tips::kSlaveAddress));
    form->addRow(tr("Slave Address"), address_);
    poll_rate_ = new QLineEdit(this);
    form->addRow(tr("Poll Rate (s)"), poll_rate_);

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
    show_serial_line(line_, c);
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
