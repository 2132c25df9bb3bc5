// The thermistor dialog's widgets.
#include "ui/config/thermistors_dialog.hpp"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace kelpira::ui {

std::unique_ptr<ThermistorsDialog> ThermistorsDialog::create(link::SensorLink& link,
                                                             common::Prompter& prompter,
                                                             QWidget* parent) {
    std::unique_ptr<ThermistorsDialog> dialog(new ThermistorsDialog(link, prompter, parent));
    if (!config::open_thermistors(dialog->controls_, link, prompter)) {
        return nullptr;
    }
    dialog->show_controls();
    return dialog;
}

ThermistorsDialog::ThermistorsDialog(link::SensorLink& link, common::Prompter& prompter,
                                     QWidget* parent)
    : QDialog(parent), link_(link), prompter_(prompter) {
    setWindowTitle(QString::fromUtf8(config::kThermistorsTitle));
    auto* layout = new QVBoxLayout(this);
    // The words between the four fields: "= a3 volts^3 + a2 volts^2 + a1 volts + a0".
    static constexpr std::array<const char*, 3> kUnits{"volts^3", "volts^2", "volts"};
    for (std::size_t t = 0; t < config::kThermistors; ++t) {
        auto* box = new QGroupBox(QString("Thermistor %1").arg(t + 1), this);
        auto* rows = new QVBoxLayout(box);
        auto* channel_row = new QHBoxLayout;
        auto* channel = new QComboBox(box);
        connect(channel, &QComboBox::activated, this, [this, t](int index) {
            controls_[t].input_channel.selected = static_cast<std::size_t>(std::max(index, 0));
        });
        channel_row->addWidget(new QLabel(tr("Input Channel"), box));
        channel_row->addWidget(channel);
        channel_row->addStretch(1);
        rows->addLayout(channel_row);
        auto* formula = new QHBoxLayout;
        formula->addWidget(new QLabel(QString::fromUtf8("Temperature (°C)"), box));
        formula->addWidget(new QLabel("=", box));
        for (std::size_t k = 0; k < 4; ++k) {
            auto* edit = new QLineEdit(box);
            connect(edit, &QLineEdit::textEdited, this, [this, t, k](const QString& text) {
                controls_[t].coefficients[k].text = text.toStdString();
            });
            formula->addWidget(edit);
            if (k < kUnits.size()) {
                formula->addWidget(new QLabel(kUnits[k], box));
                formula->addWidget(new QLabel("+", box));
            }
            groups_[t].coefficients[k] = edit;
        }
        rows->addLayout(formula);
        groups_[t].channel = channel;
        layout->addWidget(box);
    }
    save_ = new QPushButton(tr("Save"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save_);
    layout->addLayout(buttons);
    connect(save_, &QPushButton::clicked, this, [this] {
        config::save_thermistors(controls_, link_, prompter_);
        show_controls();
    });
}

void ThermistorsDialog::show_controls() {
    for (std::size_t t = 0; t < config::kThermistors; ++t) {
        const auto& c = controls_[t];
        QComboBox* channel = groups_[t].channel;
        channel->clear();
        for (const auto& choice : c.input_channel.choices) {
            channel->addItem(QString::fromStdString(choice.text));
        }
        channel->setCurrentIndex(
            c.input_channel.selected ? static_cast<int>(*c.input_channel.selected) : -1);
        for (std::size_t k = 0; k < 4; ++k) {
            groups_[t].coefficients[k]->setText(QString::fromStdString(c.coefficients[k].text));
        }
    }
}

void run_thermistors_dialog(QWidget* parent, link::SensorLink& link, common::Prompter& prompter) {
    auto dialog = ThermistorsDialog::create(link, prompter, parent);
    if (dialog) {
        dialog->exec();
    }
}

}  // namespace kelpira::ui
