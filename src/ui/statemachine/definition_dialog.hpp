// "State Machine Definition": the program as a table, every state in order or a dry run, with
// "Go", "Shrink Counter && Trigger Columns" and "Save...".
#pragma once

#include <QDialog>

#include "common/prompter.hpp"
#include "statemachine/definition_controller.hpp"
#include "statemachine/state_machine_image.hpp"
#include "statemachine/state_summary.hpp"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace kelpira::ui {

class DefinitionDialog : public QDialog {
    Q_OBJECT

  public:
    DefinitionDialog(const statemachine::StateMachineImage& image, common::Prompter& prompter,
                     QWidget* parent = nullptr);

    QComboBox* mode_list() const { return mode_; }
    QLineEdit* start_edit() const { return start_; }
    QPushButton* go_button() const { return go_; }
    QTreeWidget* table() const { return table_; }

  private:
    void on_mode(int index);
    void on_go();
    void render_enabling();
    void show_widths();

    const statemachine::StateMachineImage& image_;
    common::Prompter& prompter_;
    statemachine::DefinitionForm form_;
    statemachine::Summary summary_;
    QComboBox* mode_ = nullptr;
    QLineEdit* start_ = nullptr;
    QCheckBox* simulate_pump_timeout_ = nullptr;
    QLineEdit* pump_timeout_ = nullptr;
    QCheckBox* depth_triggers_ = nullptr;
    QCheckBox* shrink_ = nullptr;
    QPushButton* go_ = nullptr;
    QTreeWidget* table_ = nullptr;
};

}  // namespace kelpira::ui
