// "Edit State Machine": the modal editor over the program's state-machine image. Its
// behaviour lives in statemachine::EditorController; this is the Qt skin around it.
#pragma once

#include <QDialog>
#include <functional>

#include "common/prompter.hpp"
#include "link/sensor_link.hpp"
#include "statemachine/editor_controller.hpp"
#include "ui/statemachine/editor_widgets.hpp"

class QAction;
class QLabel;
class QPushButton;
class QStatusBar;

namespace kelpira::ui {

class EditorWindow : public QDialog {
    Q_OBJECT

  public:
    // `link` is the connected sensor or nullptr; `open_schedule` opens the measurement
    // schedule dialog ("Schedule...").
    EditorWindow(statemachine::EditorSession& session, common::Prompter& prompter,
                 link::SensorLink* link, std::function<void()> open_schedule,
                 QWidget* parent = nullptr);

    // For tests and for whoever drives the editor from outside.
    statemachine::EditorController& controller() { return controller_; }
    const EditorWidgets& widgets() const { return widgets_; }
    QPushButton* next_button() const { return next_; }
    QPushButton* previous_button() const { return previous_; }
    QAction* load_file_action() const { return load_file_; }
    QAction* save_file_action() const { return save_file_; }
    QAction* new_action() const { return new_; }
    QString state_title() const;
    QString status_text() const;

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void reject() override;

  private:
    void build_menu(QWidget* host);
    void build_buttons(QWidget* host);
    void add_shortcuts();
    // Runs a command of the controller and shows the outcome.
    void run(void (statemachine::EditorController::*command)());
    void go_to_state();
    void show_summary();
    void render();
    void render_enabling();

    statemachine::EditorController controller_;
    std::function<void()> open_schedule_;
    EditorWidgets widgets_;
    QPushButton* next_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* save_to_sensor_ = nullptr;
    QPushButton* refresh_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* count_ = nullptr;
    QStatusBar* status_ = nullptr;
    QAction* load_file_ = nullptr;
    QAction* save_file_ = nullptr;
    QAction* new_ = nullptr;
};

// Opens the editor modally on the program's session.
void run_state_machine_editor(QWidget* parent, statemachine::EditorSession& session,
                              common::Prompter& prompter, link::SensorLink* link,
                              std::function<void()> open_schedule);

}  // namespace kelpira::ui
