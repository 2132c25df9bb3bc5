// The sensor identification dialog's widgets.
#include "ui/config/sensor_identification_dialog.hpp"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelpira::ui {

namespace {

QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

void draw_red(QLineEdit* edit, bool red) {
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Text, red ? QColor(255, 0, 0) : QPalette().color(QPalette::Text));
    edit->setPalette(palette);
}

}  // namespace

std::unique_ptr<SensorIdentificationDialog> SensorIdentificationDialog::create(
    link::SensorLink& link, common::Prompter& prompter, QWidget* parent) {
    std::unique_ptr<SensorIdentificationDialog> dialog(
        new SensorIdentificationDialog(link, prompter, parent));
    if (!config::open_identification(dialog->controls_, link, prompter)) {
        return nullptr;
    }
    dialog->name_->setText(q(dialog->controls_.name));
    dialog->serial_->setText(q(dialog->controls_.serial));
    dialog->check_entries();
    return dialog;
}

SensorIdentificationDialog::SensorIdentificationDialog(link::SensorLink& link,
                                                       common::Prompter& prompter, QWidget* parent)
    : QDialog(parent), link_(link), prompter_(prompter) {
    setWindowTitle(q(config::kIdentificationTitle));
    setMinimumWidth(fontMetrics().averageCharWidth() * 48);  // room for the title
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    name_ = new QLineEdit(this);
    name_->setToolTip(q(config::kNameTip));
    serial_ = new QLineEdit(this);
    serial_->setToolTip(q(config::kSerialTip));
    form->addRow(q(config::kNameRow.spec.caption), name_);
    form->addRow(q(config::kSerialRow.spec.caption), serial_);
    layout->addLayout(form);
    save_ = new QPushButton(tr("Save"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save_);
    layout->addLayout(buttons);

    // The field shows the name made visible; the controller keeps the bytes while it is untouched.
    connect(name_, &QLineEdit::textEdited, this, [this](const QString& text) {
        controls_.name = text.toStdString();
        check_entries();
    });
    connect(serial_, &QLineEdit::textChanged, this, [this](const QString& text) {
        controls_.serial = text.toStdString();
        check_entries();
    });
    connect(save_, &QPushButton::clicked, this, [this] {
        config::save_identification(controls_, link_, prompter_);
        accept();
    });
}

void SensorIdentificationDialog::check_entries() {
    draw_red(name_, config::name_too_long(controls_));
    draw_red(serial_, config::serial_red(controls_));
    save_->setEnabled(config::identification_save_enabled(controls_));
}

void run_sensor_identification_dialog(QWidget* parent, link::SensorLink& link,
                                      common::Prompter& prompter) {
    auto dialog = SensorIdentificationDialog::create(link, prompter, parent);
    if (dialog) {
        dialog->exec();
    }
}

}  // namespace kelpira::ui
