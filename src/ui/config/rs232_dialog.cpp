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
    line_ = add_serial_line_rows(this, form, controls_,
                                 records::row_of<records::Rs232Config>("baud").spec.choices,
                                 [this](std::uint32_t protocol) {
                                     config::rs232_platform_chosen(controls_, protocol);
                                     show_controls();
                                 });
    mode_ = new QComboBox(this);
    form->addRow(tr("Mode"), mode_);

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
    show_serial_line(line_, c);
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
