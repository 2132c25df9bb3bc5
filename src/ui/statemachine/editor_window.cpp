// The editor's window: menu, controls, buttons, shortcuts, labels and status bar, each action
// forwarded to the controller and the outcome shown again.
#include "ui/statemachine/editor_window.hpp"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QVBoxLayout>

#include "ui/statemachine/definition_dialog.hpp"
#include "ui/statemachine/editor_small_dialogs.hpp"

namespace kelpira::ui {
namespace {

using statemachine::EditorController;

QString q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

EditorWindow::EditorWindow(statemachine::EditorSession& session, common::Prompter& prompter,
                           link::SensorLink* link, std::function<void()> open_schedule,
                           QWidget* parent)
    : QDialog(parent),
      controller_(
          session, prompter, link,
          statemachine::EditorAsks{
              .paste_options =
                  [this](std::uint8_t remembered) { return ask_paste_options(this, remembered); },
              .status_shown =
                  [this](const std::string& text) {
                      if (status_ != nullptr) {
                          status_->showMessage(QString::fromStdString(text));
                          status_->repaint();
                      }
                  }}),
      open_schedule_(std::move(open_schedule)) {
    setWindowTitle(q(statemachine::editor_texts::kTitle));
    auto* layout = new QVBoxLayout(this);
    build_menu(this);

    auto* labels = new QHBoxLayout;
    count_ = new QLabel(this);
    title_ = new QLabel(this);
    QFont big(QStringLiteral("Arial"));
    big.setPixelSize(24);
    title_->setFont(big);
    title_->setAlignment(Qt::AlignCenter);
    labels->addWidget(count_, 1);
    labels->addWidget(title_, 1);
    labels->addStretch(1);
    layout->addLayout(labels);

    auto* area = new QWidget(this);
    widgets_ = build_editor_widgets(
        area, EditorBinding{
                  .form = [this]() -> statemachine::EditorForm& { return controller_.form(); },
                  .changed = [this] { render_enabling(); },
                  .pump_changed =
                      [this] {
                          controller_.pump_settings_changed();
                          render();
                      },
                  .led_changed =
                      [this] {
                          controller_.led_changed();
                          render();
                      },
              });
    layout->addWidget(area, 1);
    connect(widgets_.schedule, &QPushButton::clicked, this, [this] {
        if (open_schedule_) {
            open_schedule_();
        }
    });
    build_buttons(this);
    status_ = new QStatusBar(this);
    status_->setSizeGripEnabled(false);
    layout->addWidget(status_);
    add_shortcuts();

    controller_.open();
    render();
}

void EditorWindow::build_menu(QWidget* host) {
    auto* bar = new QMenuBar(host);
    QMenu* file = bar->addMenu(tr("&File"));
    load_file_ = file->addAction(tr("Load State Machine &From File..."));
    save_file_ = file->addAction(tr("&Save State Machine To File..."));
    new_ = file->addAction(tr("&New State Machine"));
    QAction* exit = bar->addAction(tr("E&xit..."));
    connect(load_file_, &QAction::triggered, this,
            [this] { run(&EditorController::load_from_file); });
    connect(save_file_, &QAction::triggered, this,
            [this] { run(&EditorController::save_to_file); });
    connect(new_, &QAction::triggered, this, [this] { run(&EditorController::new_program); });
    connect(exit, &QAction::triggered, this, &QDialog::reject);
    layout()->setMenuBar(bar);
}

void EditorWindow::build_buttons(QWidget* host) {
    namespace tips = statemachine::editor_tips;
    auto* row = new QHBoxLayout;
    previous_ = new QPushButton(tr("Previous"), host);
    next_ = new QPushButton(tr("Next"), host);
    save_to_sensor_ = new QPushButton(tr("Save to Sensor"), host);
    save_to_sensor_->setToolTip(q(tips::kSaveToSensor));
    refresh_ = new QPushButton(tr("Refresh from Sensor"), host);
    refresh_->setToolTip(q(tips::kRefresh));
    auto* summary = new QPushButton(tr("Summary..."), host);
    summary->setToolTip(q(tips::kSummary));
    for (QPushButton* b : {previous_, next_, save_to_sensor_, refresh_, summary}) {
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    row->insertStretch(2, 1);
    connect(previous_, &QPushButton::clicked, this, [this] { run(&EditorController::previous); });
    connect(next_, &QPushButton::clicked, this, [this] { run(&EditorController::next); });
    connect(save_to_sensor_, &QPushButton::clicked, this,
            [this] { run(&EditorController::save_to_sensor); });
    connect(refresh_, &QPushButton::clicked, this,
            [this] { run(&EditorController::refresh_from_sensor); });
    connect(summary, &QPushButton::clicked, this, &EditorWindow::show_summary);
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

void EditorWindow::add_shortcuts() {
    const auto key = [this](QKeySequence keys, void (EditorController::*command)()) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this, command] { run(command); });
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_N), &EditorController::next);
    key(QKeySequence(Qt::CTRL | Qt::Key_P), &EditorController::previous);
    key(QKeySequence(Qt::CTRL | Qt::Key_I), &EditorController::insert_before);
    key(QKeySequence(Qt::CTRL | Qt::Key_J), &EditorController::insert_after);
    key(QKeySequence(Qt::CTRL | Qt::Key_D), &EditorController::delete_state);
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), &EditorController::copy);
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_X), &EditorController::cut);
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V), &EditorController::paste);
}

void EditorWindow::run(void (EditorController::*command)()) {
    (controller_.*command)();
    render();
}

void EditorWindow::go_to_state() {
    controller_.store_form();
    const auto state = ask_go_to_state(this, controller_.image().last_index);
    if (state) {
        controller_.go_to(*state);
    }
    render();
}

void EditorWindow::show_summary() {
    controller_.store_form();
    DefinitionDialog dialog(controller_.image(), controller_.prompter(), this);
    dialog.exec();
}

void EditorWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    go_to_state();
    event->accept();
}

void EditorWindow::reject() {
    // Exit, Esc and the close box all come here; Cancel at the save question keeps the editor.
    if (controller_.close()) {
        QDialog::reject();
    }
}

void EditorWindow::render() {
    show_form(widgets_, controller_.form());
    title_->setText(QString::fromStdString(controller_.state_title()));
    count_->setText(QString::fromStdString(controller_.count_text()));
    status_->showMessage(QString::fromStdString(controller_.status()));
    render_enabling();
}

void EditorWindow::render_enabling() {
    const statemachine::EditorEnabling e = controller_.enabling();
    show_enabling(widgets_, e);
    next_->setEnabled(e.next);
    previous_->setEnabled(e.previous);
    save_to_sensor_->setEnabled(e.save_to_sensor);
    refresh_->setEnabled(e.refresh);
}

QString EditorWindow::state_title() const {
    return title_->text();
}

QString EditorWindow::status_text() const {
    return status_->currentMessage();
}

void run_state_machine_editor(QWidget* parent, statemachine::EditorSession& session,
                              common::Prompter& prompter, link::SensorLink* link,
                              std::function<void()> open_schedule) {
    EditorWindow editor(session, prompter, link, std::move(open_schedule), parent);
    editor.exec();
}

}  // namespace kelpira::ui
