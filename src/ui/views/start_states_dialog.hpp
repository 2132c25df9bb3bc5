// The "State Machine Start States" dialog: seven rows of a check box and a number field.
#pragma once

#include <QDialog>
#include <array>

#include "views/start_states_controller.hpp"

class QCheckBox;
class QLineEdit;

namespace kelpira::ui {

class StartStatesDialog : public QDialog {
    Q_OBJECT

  public:
    StartStatesDialog(link::SensorLink& link, common::Prompter& prompter,
                      views::StartStatesController controller, QWidget* parent);

    QCheckBox* row_box(std::size_t row) const { return boxes_[row]; }
    QLineEdit* row_field(std::size_t row) const { return fields_[row]; }
    void save();

  private:
    void row_changed(std::size_t row);

    link::SensorLink& link_;
    common::Prompter& prompter_;
    views::StartStatesController controller_;
    std::array<QCheckBox*, views::kStartStateRows> boxes_{};
    std::array<QLineEdit*, views::kStartStateRows> fields_{};
};

// Opens the dialog (`toggle_autostart` from a view's Autostart box) and runs it; returns at
// once, after telling the user, when the record cannot be read.
void run_start_states_dialog(link::SensorLink& link, common::Prompter& prompter,
                             bool toggle_autostart, QWidget* parent);

}  // namespace kelpira::ui
