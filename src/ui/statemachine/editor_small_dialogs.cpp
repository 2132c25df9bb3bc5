// "Paste options" (placement and parts) and "Go to state..." (a number, red beyond the end).
#include "ui/statemachine/editor_small_dialogs.hpp"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "statemachine/editor_state_entries.hpp"
#include "statemachine/state_editing.hpp"

namespace kelpira::ui {

using statemachine::PasteMode;

std::optional<std::uint8_t> ask_paste_options(QWidget* parent, std::uint8_t remembered) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QObject::tr("Paste options"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* before = new QRadioButton(QObject::tr("Insert Before Current State"), &dialog);
    auto* after = new QRadioButton(QObject::tr("Insert After Current State"), &dialog);
    auto* overwrite = new QRadioButton(QObject::tr("Overwrite Current State"), &dialog);
    auto* valves = new QCheckBox(QObject::tr("Paste Valve Settings"), &dialog);
    auto* pump = new QCheckBox(QObject::tr("Paste Pump Settings"), &dialog);
    auto* rest = new QCheckBox(QObject::tr("Paste Everything Else"), &dialog);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(before);
    layout->addWidget(after);
    layout->addWidget(overwrite);
    auto* parts = new QVBoxLayout;
    parts->setContentsMargins(20, 0, 0, 0);
    parts->addWidget(valves);
    parts->addWidget(pump);
    parts->addWidget(rest);
    layout->addLayout(parts);
    layout->addWidget(buttons);

    const PasteMode shown = statemachine::paste_mode(remembered);
    before->setChecked(shown == PasteMode::insert_before);
    after->setChecked(shown == PasteMode::insert_after);
    overwrite->setChecked(shown == PasteMode::overwrite);
    valves->setChecked((remembered & statemachine::kPasteValves) != 0);
    pump->setChecked((remembered & statemachine::kPastePump) != 0);
    rest->setChecked((remembered & statemachine::kPasteEverythingElse) != 0);
    // The parts can be chosen only for an overwrite; an insert pastes every part.
    const auto enable_parts = [=](bool overwriting) {
        valves->setEnabled(overwriting);
        pump->setEnabled(overwriting);
        rest->setEnabled(overwriting);
    };
    enable_parts(overwrite->isChecked());
    QObject::connect(overwrite, &QRadioButton::toggled, &dialog, enable_parts);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const PasteMode mode = before->isChecked()  ? PasteMode::insert_before
                           : after->isChecked() ? PasteMode::insert_after
                                                : PasteMode::overwrite;
    return statemachine::paste_bits(mode, valves->isChecked(), pump->isChecked(),
                                    rest->isChecked());
}

std::optional<std::uint16_t> ask_go_to_state(QWidget* parent, std::uint16_t last_index) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QObject::tr("Go to state..."));
    auto* layout = new QFormLayout(&dialog);
    auto* edit = new QLineEdit(QStringLiteral("0"), &dialog);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    layout->addRow(QObject::tr("Go to state:"), edit);
    layout->addRow(buttons);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    const auto check = [&] {
        const bool fine =
            statemachine::check_state_entry(edit->text().toStdString(), last_index).acceptable;
        edit->setStyleSheet(fine ? QString() : QStringLiteral("color: red"));
        ok->setEnabled(fine);
    };
    QObject::connect(edit, &QLineEdit::textChanged, &dialog, check);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        if (ok->isEnabled()) {
            dialog.accept();
        }
    });
    check();
    edit->selectAll();  // typing replaces the 0
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return statemachine::go_to_result(edit->text().toStdString(), last_index);
}

}  // namespace kelpira::ui
