// The start states dialog's widgets over its controller.
#include "ui/views/start_states_dialog.hpp"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace kelpira::ui {

StartStatesDialog::StartStatesDialog(link::SensorLink& link, common::Prompter& prompter,
                                     views::StartStatesController controller, QWidget* parent)
    : QDialog(parent), link_(link), prompter_(prompter), controller_(std::move(controller)) {
    setWindowTitle("State Machine Start States");
    auto* grid = new QGridLayout(this);
    auto* digits = new QRegularExpressionValidator(QRegularExpression("[0-9]*"), this);
    for (std::size_t i = 0; i < views::kStartStateRows; ++i) {
        const auto& row = controller_.rows()[i];
        boxes_[i] = new QCheckBox(views::kStartStateCaptions[i], this);
        boxes_[i]->setChecked(row.ticked);
        fields_[i] = new QLineEdit(QString::number(row.value), this);
        fields_[i]->setValidator(digits);
        fields_[i]->setAutoFillBackground(true);  // the red number sits on an opaque field
        grid->addWidget(boxes_[i], static_cast<int>(i), 0);
        grid->addWidget(fields_[i], static_cast<int>(i), 1);
        connect(boxes_[i], &QCheckBox::toggled, this, [this, i] { row_changed(i); });
        connect(fields_[i], &QLineEdit::textChanged, this, [this, i] { row_changed(i); });
        row_changed(i);
    }
    auto* save_button = new QPushButton("Save", this);
    grid->addWidget(save_button, static_cast<int>(views::kStartStateRows), 1);
    connect(save_button, &QPushButton::clicked, this, &StartStatesDialog::save);
}

void StartStatesDialog::row_changed(std::size_t i) {
    auto& row = controller_.rows()[i];
    row.ticked = boxes_[i]->isChecked();
    bool ok = false;
    const qulonglong typed = fields_[i]->text().toULongLong(&ok);
    // Digits too many for any number are as out of range as a large one.
    row.value = ok ? typed : (fields_[i]->text().isEmpty() ? 0 : UINT64_MAX);
    fields_[i]->setEnabled(row.ticked);
    QPalette palette = fields_[i]->palette();
    palette.setColor(QPalette::Text,
                     controller_.out_of_range(i) ? QColor(255, 0, 0) : QColor(0, 0, 0));
    fields_[i]->setPalette(palette);
}

void StartStatesDialog::save() {
    if (controller_.save(link_, prompter_)) {
        accept();
    }
}

void run_start_states_dialog(link::SensorLink& link, common::Prompter& prompter,
                             bool toggle_autostart, QWidget* parent) {
    views::StartStatesController controller;
    if (!controller.open(link, prompter, toggle_autostart)) {
        return;
    }
    StartStatesDialog dialog(link, prompter, std::move(controller), parent);
    dialog.exec();
}

}  // namespace kelpira::ui
