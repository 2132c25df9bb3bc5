// The platform defaults dialog's widgets.
#include "ui/config/platform_defaults_dialog.hpp"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/config/platform_lists_widgets.hpp"

namespace kelpira::ui {

std::unique_ptr<PlatformDefaultsDialog> PlatformDefaultsDialog::create(link::SensorLink& link,
                                                                       common::Prompter& prompter,
                                                                       QWidget* parent) {
    std::unique_ptr<PlatformDefaultsDialog> dialog(
        new PlatformDefaultsDialog(link, prompter, parent));
    if (!config::open_platform_defaults(dialog->controls_, link, prompter)) {
        return nullptr;
    }
    dialog->show_controls();
    return dialog;
}

PlatformDefaultsDialog::PlatformDefaultsDialog(link::SensorLink& link, common::Prompter& prompter,
                                               QWidget* parent)
    : QDialog(parent), link_(link), prompter_(prompter) {
    namespace tips = config::platform_tips;
    setWindowTitle(QString::fromUtf8(config::kPlatformDefaultsTitle));
    auto* layout = new QVBoxLayout(this);
    form_ = new QFormLayout;
    layout->addLayout(form_);
    dive_number_ = add_field("Dive Number", tips::kDiveNumber, controls_.dive_number);
    salinity_ = add_field("Salinity (PSU)", tips::kSalinity, controls_.salinity_psu);
    temperature_ = add_field("Temperature (°C)", tips::kTemperature, controls_.temperature_c);
    oxygen_ = add_field("Dissolved Oxygen (ml/l)", tips::kOxygen, controls_.oxygen_ml_l);
    depth_ = add_field("Depth (m)", tips::kDepth, controls_.depth_m);
    direction_ = new QComboBox(this);
    direction_->setToolTip(QString::fromUtf8(tips::kDirection));
    fill_list(direction_, records::row_of<records::PlatformDefaults>("direction").spec.choices);
    connect(direction_, &QComboBox::activated, this, [this](int index) {
        controls_.direction = static_cast<std::uint8_t>(value_at(direction_, index));
    });
    form_->addRow(tr("Direction"), direction_);
    time_offset_ = add_field("Time Offset (s)", tips::kTimeOffset, controls_.time_offset_s);
    p1_ = add_field("P1", tips::kParameter, controls_.p1);
    p2_ = add_field("P2", tips::kParameter, controls_.p2);
    p3_ = add_field("P3", tips::kParameter, controls_.p3);

    save_ = new QPushButton(tr("Save"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save_);
    layout->addLayout(buttons);
    connect(save_, &QPushButton::clicked, this, [this] {
        config::save_platform_defaults_settings(controls_, link_, prompter_,
                                                [this] { show_controls(); });
    });
}

QLineEdit* PlatformDefaultsDialog::add_field(const char* label, const char* tip,
                                             config::PlatformField& field) {
    auto* edit = new QLineEdit(this);
    edit->setToolTip(QString::fromUtf8(tip));
    connect(edit, &QLineEdit::textEdited, this,
            [&field](const QString& typed) { field.text = typed.toStdString(); });
    form_->addRow(QString::fromUtf8(label), edit);
    return edit;
}

void PlatformDefaultsDialog::show_controls() {
    const auto& c = controls_;
    dive_number_->setText(qt_text(c.dive_number.text));
    salinity_->setText(qt_text(c.salinity_psu.text));
    temperature_->setText(qt_text(c.temperature_c.text));
    oxygen_->setText(qt_text(c.oxygen_ml_l.text));
    depth_->setText(qt_text(c.depth_m.text));
    select_value(direction_, c.direction);
    time_offset_->setText(qt_text(c.time_offset_s.text));
    p1_->setText(qt_text(c.p1.text));
    p2_->setText(qt_text(c.p2.text));
    p3_->setText(qt_text(c.p3.text));
}

void run_platform_defaults_dialog(QWidget* parent, link::SensorLink& link,
                                  common::Prompter& prompter) {
    auto dialog = PlatformDefaultsDialog::create(link, prompter, parent);
    if (dialog) {
        dialog->exec();
    }
}

}  // namespace kelpira::ui
