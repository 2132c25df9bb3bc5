// The Factory Settings dialog's widgets: fields rendered from the controller, edits and clicks
// forwarded to it.
#include "ui/maintenance/factory_settings_dialog.hpp"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/maintenance/upgrade_window.hpp"

namespace kelpira::ui {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// A field's caption from its row; the name and serial number are worded as in the report.
QString caption(const link::FieldSpec& spec, bool report = false) {
    const std::string_view text = report && !spec.report.empty() ? spec.report : spec.caption;
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Replaces the text only when it differs, so that the cursor of a field being typed in stays.
void show_text(QLineEdit* edit, const QString& text) {
    if (edit->text() != text) {
        edit->setText(text);
    }
}

// Only the enabled colour groups: a locked field keeps the greyed text of disabled fields.
void draw_red(QLineEdit* edit, bool red) {
    QPalette palette = edit->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Text,
                         red ? QColor(255, 0, 0) : QPalette().color(group, QPalette::Text));
    }
    edit->setPalette(palette);
}

QLineEdit* digits_field(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

QHBoxLayout* save_row(QPushButton* save) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(save);
    return row;
}

}  // namespace

std::unique_ptr<FactorySettingsDialog> FactorySettingsDialog::create(link::SensorLink& link,
                                                                     common::Prompter& prompter,
                                                                     RunUpgradeDialog run_upgrade,
                                                                     QWidget* parent) {
    std::unique_ptr<FactorySettingsDialog> dialog(
        new FactorySettingsDialog(link, prompter, std::move(run_upgrade), parent));
    if (!dialog->controller_.open()) {
        return nullptr;
    }
    dialog->render();
    return dialog;
}

FactorySettingsDialog::FactorySettingsDialog(link::SensorLink& link, common::Prompter& prompter,
                                             RunUpgradeDialog run_upgrade, QWidget* parent)
    : QDialog(parent), controller_(link, prompter), run_upgrade_(std::move(run_upgrade)) {
    setWindowTitle(QString::fromLatin1(maintenance::kFactoryTitle));
    auto* layout = new QVBoxLayout(this);

    auto* access = new QGroupBox(tr("Access Control"), this);
    auto* access_form = new QFormLayout(access);
    password_ = new QLineEdit(access);
    password_->setEchoMode(QLineEdit::Password);
    password_->setMaxLength(static_cast<int>(maintenance::kPasswordMax));
    access_form->addRow(tr("Maintenance Password"), password_);
    connect(password_, &QLineEdit::textEdited, this,
            [this](const QString& text) { password_edited(text); });
    layout->addWidget(access);

    layout->addWidget(flash_group());
    layout->addWidget(fram_group());
    layout->addWidget(nvram_group());

    auto* bootloader = new QGroupBox(tr("Bootloader"), this);
    auto* bootloader_row = new QHBoxLayout(bootloader);
    upgrade_ = new QPushButton(tr("Upgrade..."), bootloader);
    bootloader_row->addWidget(upgrade_);
    bootloader_row->addStretch(1);
    connect(upgrade_, &QPushButton::clicked, this, [this] {
        if (controller_.upgrade(run_upgrade_)) {
            accept();
        }
    });
    if (!run_upgrade_) {
        bootloader->hide();
    }
    layout->addWidget(bootloader);

    auto* cancel = new QPushButton(tr("Cancel"), this);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addLayout(save_row(cancel));
}

QWidget* FactorySettingsDialog::flash_group() {
    auto* group = new QGroupBox(tr("Processing Board (FLASH)"), this);
    auto* form = new QFormLayout(group);
    name_ = new QLineEdit(group);
    serial_ = new QLineEdit(group);
    board_serial_ = digits_field(group);
    form->addRow(caption(maintenance::kNameRow.spec, true), name_);
    form->addRow(caption(maintenance::kSerialRow.spec, true), serial_);
    form->addRow(caption(maintenance::kBoardSerialRow.spec), board_serial_);
    flash_save_ = new QPushButton(tr("Save"), group);
    form->addRow(save_row(flash_save_));

    auto& fields = controller_.fields();
    const auto bind = [this](QLineEdit* edit, std::string& field) {
        connect(edit, &QLineEdit::textEdited, this, [this, &field](const QString& text) {
            field = text.toStdString();
            render();
        });
    };
    bind(name_, fields.name);
    bind(serial_, fields.serial);
    bind(board_serial_, fields.board_serial);
    connect(flash_save_, &QPushButton::clicked, this, [this] {
        controller_.save_flash();
        render();
    });
    return group;
}

QWidget* FactorySettingsDialog::fram_group() {
    auto* group = new QGroupBox(tr("Processing Board (FRAM)"), this);
    auto* form = new QFormLayout(group);
    fram_board_serial_ = new QLineEdit(group);
    fram_board_serial_->setReadOnly(true);
    auto* obsolete = new QHBoxLayout;
    obsolete->addWidget(fram_board_serial_);
    obsolete->addWidget(new QLabel(tr("(obsolete)"), group));
    stroke_meter_ = new QLineEdit(group);
    stroke_meter_->setReadOnly(true);
    reset_ = new QToolButton(group);
    reset_->setText(tr("Reset"));
    reset_->setToolTip(QString::fromLatin1(maintenance::kResetStrokeMeterTip));
    auto* meter = new QHBoxLayout;
    meter->addWidget(stroke_meter_);
    meter->addWidget(reset_);
    form->addRow(caption(maintenance::kFramBoardSerialRow.spec), obsolete);
    form->addRow(caption(maintenance::kStrokeMeterRow.spec), meter);
    fram_save_ = new QPushButton(tr("Save"), group);
    form->addRow(save_row(fram_save_));

    connect(reset_, &QToolButton::clicked, this, [this] {
        controller_.reset_stroke_meter();
        render();
    });
    connect(fram_save_, &QPushButton::clicked, this, [this] {
        controller_.save_fram();
        render();
    });
    return group;
}

QWidget* FactorySettingsDialog::nvram_group() {
    auto* group = new QGroupBox(tr("Driver Board (NVRAM)"), this);
    auto* form = new QFormLayout(group);
    driver_serial_ = digits_field(group);
    form->addRow(caption(maintenance::kDriverSerialRow.spec), driver_serial_);
    nvram_save_ = new QPushButton(tr("Save"), group);
    form->addRow(save_row(nvram_save_));

    connect(driver_serial_, &QLineEdit::textEdited, this, [this](const QString& text) {
        controller_.fields().driver_serial = text.toStdString();
        render();
    });
    connect(nvram_save_, &QPushButton::clicked, this, [this] {
        controller_.save_nvram();
        render();
    });
    return group;
}

void FactorySettingsDialog::password_edited(const QString& text) {
    controller_.type_password(text.toStdString());
    const QString kept = q(controller_.password());
    if (kept != text) {
        const int cursor = password_->cursorPosition();
        password_->setText(kept);
        password_->setCursorPosition(std::min(cursor, static_cast<int>(kept.size())));
    }
    render();
}

void FactorySettingsDialog::render() {
    const auto& fields = controller_.fields();
    show_text(name_, q(fields.name));
    show_text(serial_, q(fields.serial));
    show_text(board_serial_, q(fields.board_serial));
    show_text(driver_serial_, q(fields.driver_serial));
    const bool has_fram = controller_.stores().fram;
    show_text(fram_board_serial_,
              has_fram ? QString::number(controller_.fram().board_serial_number) : QString());
    show_text(stroke_meter_,
              has_fram ? QString::number(controller_.fram().pump_stroke_meter) : QString());

    draw_red(name_, controller_.name_too_long());
    draw_red(serial_, controller_.serial_unreadable());
    draw_red(board_serial_, controller_.board_serial_too_large());
    draw_red(driver_serial_, controller_.driver_serial_too_large());

    const auto enabling = controller_.enabling();
    for (QLineEdit* edit : {name_, serial_, board_serial_}) {
        edit->setEnabled(enabling.flash);
    }
    flash_save_->setEnabled(controller_.flash_save_enabled());
    fram_board_serial_->setEnabled(enabling.fram);
    stroke_meter_->setEnabled(enabling.fram);
    reset_->setEnabled(enabling.fram);
    fram_save_->setEnabled(controller_.fram_save_enabled());
    driver_serial_->setEnabled(enabling.nvram);
    nvram_save_->setEnabled(controller_.nvram_save_enabled());
    upgrade_->setEnabled(enabling.upgrade);
}

void run_factory_settings_dialog(QWidget* parent, link::SensorLink& link,
                                 const maintenance::ReturnWatch& watch,
                                 common::Prompter& prompter) {
    QWidget* shown = parent;
    auto dialog = FactorySettingsDialog::create(
        link, prompter,
        [&](std::uint8_t mode) { return run_upgrade_dialog(shown, link, watch, prompter, mode); },
        parent);
    if (dialog) {
        shown = dialog.get();
        dialog->exec();
    }
}

}  // namespace kelpira::ui
