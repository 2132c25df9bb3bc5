// The RS232 dialog's widgets.
#include "ui/config/rs232_dialog.hpp"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/config/platform_lists_widgets.hpp"

namespace kelpira::ui {

std::unique_ptr<Rs232Dialog> Rs232Dialog::create(link::SensorLink& link, common::Prompter& prompter,
                                                 QWidget* parent) {
    std::unique_ptr<Rs232Dialog> dialog(new Rs232Dialog(link, prompter, parent));
    if (!config::open_rs232(dialog->controls_, link, prompter)) {
        return nullptr;
    }
    dialog->show_controls();
    return dialog;
}

Rs232Dialog::Rs232Dialog(link::SensorLink& link, common::Prompter& prompter, QWidget* parent)
    : QDialog(parent), link_(link), prompter_(prompter) {
    setWindowTitle(QString::fromUtf8(config::kRs232Title));
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
    fill_list(baud_, config::kRs232BaudRates);
    parity_ = list(tr("Parity"));
    fill_list(parity_, config::kParities);
    data_bits_ = list(tr("Data Bits"));
    fill_list(data_bits_, config::kDataBits);
    stop_bits_ = list(tr("Stop Bits"));
    fill_list(stop_bits_, config::kStopBits);
    mode_ = list(tr("Mode"));

    connect(platform_, &QComboBox::activated, this, [this](int index) {
        config::rs232_platform_chosen(controls_, value_at(platform_, index));
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
    connect(mode_, &QComboBox::activated, this, [this](int index) {
        controls_.mode = static_cast<std::uint8_t>(value_at(mode_, index));
    });

    save_ = new QPushButton(tr("Save"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save_);
    layout->addLayout(buttons);
    connect(save_, &QPushButton::clicked, this, [this] {
        config::save_rs232_settings(controls_, link_, prompter_, [this] { show_controls(); });
    });
}

void Rs232Dialog::show_controls() {
    const auto& c = controls_;
    fill_list(platform_, c.protocols);
    select_value(platform_, c.protocol);
    select_value(baud_, c.baud);
    select_value(parity_, c.parity);
    select_value(data_bits_, c.data_bits);
    select_value(stop_bits_, c.stop_bits);
    fill_list(mode_, c.modes);
    select_value(mode_, c.mode);
    mode_->setEnabled(config::rs232_mode_enabled(c));
}

void run_rs232_dialog(QWidget* parent, link::SensorLink& link, common::Prompter& prompter) {
    auto dialog = Rs232Dialog::create(link, prompter, parent);
    if (dialog) {
        dialog->exec();
    }
}

}  // namespace kelpira::ui
