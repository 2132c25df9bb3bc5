// The main window's widgets: the menu built from the command table, the status bar parts,
// the view host, and the forwarding of every user action to the shell controller.
#include "ui/shell/main_window.hpp"

#include <QAction>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QVBoxLayout>

#include "ui/common/view_notifications.hpp"
#include "ui/config/chemistry_dialog.hpp"
#include "ui/config/measurement_schedule_dialog.hpp"
#include "ui/config/optics_valves_pump_dialog.hpp"
#include "ui/config/platform_defaults_dialog.hpp"
#include "ui/config/real_time_clock_dialog.hpp"
#include "ui/config/rs232_dialog.hpp"
#include "ui/config/rs485_dialog.hpp"
#include "ui/config/sensor_identification_dialog.hpp"
#include "ui/config/thermistors_dialog.hpp"
#include "ui/deployment_check/deployment_check_dialog.hpp"
#include "ui/host_platform/platform_simulator_window.hpp"
#include "ui/processing/process_menu.hpp"
#include "ui/report/config_log_dialog.hpp"
#include "ui/report/restore_snapshot_dialog.hpp"
#include "ui/shell/about_box.hpp"
#include "ui/shell/compatibility_view.hpp"
#include "ui/shell/connect_view.hpp"
#include "ui/statemachine/editor_window.hpp"
#include "ui/views/processed_graph_view.hpp"
#include "ui/views/raw_graph_view.hpp"
#include "ui/views/start_states_dialog.hpp"
#include "ui/views/text_views.hpp"

namespace kelpira::ui {

namespace {

// The window's size at start-up, in dialog units.
constexpr int kWidthUnits = 541;
constexpr int kHeightUnits = 322;

QString from_core(const std::string& text) {
    return QString::fromUtf8(text);
}

}  // namespace

MainWindow::MainWindow(link::HidBackend& backend, link::SensorLink& link,
                       common::Prompter& prompter)
    : backend_(backend),
      link_(link),
      prompter_(prompter),
      shell_(link, prompter,
             shell::ShellHooks{
                 .show_view = [this](shell::ShellView view) { show_view(view); },
                 .start_poll = [this] { start_poll(); },
                 .stop_poll = [this] { stop_poll(); },
                 .state_changed = [this] { render(); },
                 .clear_history = [this] { poll_.clear_history(); },
             }),
      view_host_{link,
                 prompter,
                 view_workers_,
                 [this] { return poll_.history(); },
                 [this](std::uint8_t state) { shell_.start_sensor(state); },
                 [this] { shell_.stop_sensor(); }},
      poll_(link) {
    setWindowIcon(QIcon(QStringLiteral(":/icons/kelpira.svg")));
    const QFontMetrics metrics(font());
    resize(kWidthUnits * metrics.averageCharWidth() / 4, kHeightUnits * metrics.height() / 8);

    auto* host = new QWidget(this);
    view_layout_ = new QVBoxLayout(host);
    view_layout_->setContentsMargins(0, 0, 0, 0);
    setCentralWidget(host);

    add_command_handlers();
    build_menu();
    build_status_bar();

    // Esc ends the program as the close box does; Alt+F4 is taken and does nothing.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), this);

    shell_.start();
}

MainWindow::~MainWindow() {
    handoff_.close();
    if (!closed_) {
        shell_.shut_down();
    }
    delete view_;  // its worker stops while the worker slots still exist
}

void MainWindow::add_command_handlers() {
    using shell::Command;
    handlers_[Command::Exit] = [this] { close(); };
    handlers_[Command::Disconnect] = [this] { shell_.disconnect(); };
    handlers_[Command::MountAsDrive] = [this] { shell_.mount_as_drive(); };
    handlers_[Command::About] = [this] { show_about(); };
    handlers_[Command::HideFailedPoints] = [this] {
        processed_settings_.hide_failed = actions_[Command::HideFailedPoints]->isChecked();
        if (auto* graph = qobject_cast<ProcessedGraphView*>(view_.data())) {
            graph->apply_hide_failed();
        }
    };
    handlers_[Command::SensorPortPins] = [this] { shell_.show_sensor_port_pins(); };
    handlers_[Command::ProcessNutrient] = [this] { run_nutrient_processing(this, prompter_); };
    handlers_[Command::ProcessNutrientMulti] = [this] {
        run_nutrient_multi_processing(this, prompter_);
    };
    handlers_[Command::ProcessPh] = [this] { run_ph_processing(this, prompter_); };
    handlers_[Command::ProcessTa] = [this] { run_ta_processing(this, prompter_); };
    handlers_[Command::ProcessDic] = [this] { run_dic_processing(this, prompter_); };
    handlers_[Command::Chemistry] = [this] {
        run_chemistry_dialog(this, link_, prompter_);
        send_reload_config(view_);
    };
    handlers_[Command::Compatibility] = [this] {
        shell_.switch_view(shell::ShellView::Compatibility);
    };
    handlers_[Command::StateMachine] = [this] {
        const bool connected = (shell_.flags() & views::kLinkConnected) != 0;
        run_state_machine_editor(this, state_machine_, prompter_, connected ? &link_ : nullptr,
                                 [this] { run_command(shell::Command::MeasurementSchedule); });
    };
    handlers_[Command::RawOutputGraph] = [this] {
        shell_.switch_view(shell::ShellView::RawOutputGraph);
    };
    handlers_[Command::ProcessedOutputGraph] = [this] {
        shell_.switch_view(shell::ShellView::ProcessedOutputGraph);
    };
    handlers_[Command::RawOutputText] = [this] {
        shell_.switch_view(shell::ShellView::RawOutputText);
    };
    handlers_[Command::ProcessedOutputText] = [this] {
        shell_.switch_view(shell::ShellView::ProcessedOutputText);
    };
    handlers_[Command::Diagnostics] = [this] { shell_.switch_view(shell::ShellView::Diagnostics); };
    handlers_[Command::StartStates] = [this] {
        run_start_states_dialog(link_, prompter_, false, this);
        reload_view_config();
    };
    handlers_[Command::OpticsValvesPump] = [this] {
        run_optics_valves_pump_dialog(this, link_, prompter_);
    };
    handlers_[Command::SensorIdentification] = [this] {
        run_sensor_identification_dialog(this, link_, prompter_);
        shell_.identity_changed();
    };
    handlers_[Command::RealTimeClock] = [this] {
        run_real_time_clock_dialog(this, link_, prompter_, clock_log_);
    };
    handlers_[Command::MeasurementSchedule] = [this] {
        run_measurement_schedule_dialog(this, link_, prompter_);
    };
    handlers_[Command::PlatformSimulator] = [this] {
        open_platform_simulator(simulator_, prompter_, this);
    };
    handlers_[Command::Thermistors] = [this] {
        run_thermistors_dialog(this, link_, prompter_);
        send_reload_config(view_);
    };
    handlers_[Command::PlatformDefaults] = [this] {
        run_platform_defaults_dialog(this, link_, prompter_);
    };
    handlers_[Command::Rs232] = [this] { run_rs232_dialog(this, link_, prompter_); };
    handlers_[Command::Rs485] = [this] { run_rs485_dialog(this, link_, prompter_); };
    handlers_[Command::LogSensorConfiguration] = [this] {
        run_config_log_dialog(this, link_, prompter_);
    };
    handlers_[Command::DeploymentCheck] = [this] {
        run_deployment_check_dialog(this, link_, prompter_, check_form_);
    };
    handlers_[Command::RestoreSnapshot] = [this] {
        if (run_restore_snapshot(this, link_, prompter_)) {
            send_reload_config(view_);
            shell_.identity_changed();
        }
    };
}

void MainWindow::build_menu() {
    for (const auto& title : shell::menu_titles()) {
        const auto entries = shell::visible_menu(
            title.menu, [this](shell::Command command) { return handlers_.contains(command); });
        if (entries.empty()) {
            continue;
        }
        QMenu* menu = menuBar()->addMenu(from_core(title.text));
        for (const auto& entry : entries) {
            if (!entry.command) {
                menu->addSeparator();
                continue;
            }
            const shell::Command command = *entry.command;
            QAction* action = menu->addAction(from_core(entry.text));
            action->setCheckable(entry.toggle);
            connect(action, &QAction::triggered, this, [this, command] { run_command(command); });
            actions_[command] = action;
        }
    }
}

void MainWindow::build_status_bar() {
    int left = 0;
    for (std::size_t part = 0; part < views::kStatusParts; ++part) {
        auto* label = new QLabel(this);
        label->setAlignment(Qt::AlignCenter);
        if (part + 1 < views::kStatusParts) {
            const int right = views::kStatusPartRightEdges[part];
            label->setFixedWidth(right - left);
            left = right;
            statusBar()->addWidget(label);
        } else {
            statusBar()->addWidget(label, 1);
        }
        status_labels_[part] = label;
    }
}

void MainWindow::render() {
    setWindowTitle(from_core(shell_.title()));
    for (std::size_t part = 0; part < views::kStatusParts; ++part) {
        // The leading tab is how the status bar is asked to centre a text; the label
        // centres it already.
        std::string text = shell_.status()[part];
        if (!text.empty() && text.front() == '\t') {
            text.erase(0, 1);
        }
        status_labels_[part]->setText(from_core(text));
    }
    for (const auto& [command, action] : actions_) {
        action->setEnabled(shell_.enabled(command));
    }
    if (frame_) {
        frame_->set_flags(shell_.flags());
    }
}

void MainWindow::reload_view_config() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (frame_) {
                frame_->reload_config();
            }
        },
        Qt::QueuedConnection);
}

QString MainWindow::status_text(std::size_t part) const {
    return status_labels_[part]->text();
}

QAction* MainWindow::menu_action(shell::Command command) const {
    const auto found = actions_.find(command);
    return found == actions_.end() ? nullptr : found->second;
}

void MainWindow::run_command(shell::Command command) {
    const auto handler = handlers_.find(command);
    if (handler != handlers_.end() && shell_.enabled(command)) {
        handler->second();
    }
}

void MainWindow::show_view(shell::ShellView view) {
    if (view_) {
        // Deleted later: the old view may be the one whose click got us here.
        view_->hide();
        view_layout_->removeWidget(view_);
        view_->deleteLater();
        view_ = nullptr;
    }
    connect_view_ = nullptr;
    frame_ = nullptr;
    switch (view) {
        case shell::ShellView::Connect: {
            auto* connect_view = new ConnectView(
                backend_, link_, prompter_,
                [this](const link::DeviceEntry& entry) { shell_.connected(entry); });
            connect_view->set_watch_problem(watch_problem_);
            connect_view_ = connect_view;
            view_ = connect_view;
            break;
        }
        case shell::ShellView::Compatibility:
            view_ = CompatibilityView::create(link_, prompter_);
            break;
        case shell::ShellView::RawOutputGraph: {
            auto* raw = new RawGraphView(view_host_, shell_.flags(), poll_, raw_graph_settings_);
            frame_ = raw->frame();
            view_ = raw;
            break;
        }
        case shell::ShellView::ProcessedOutputGraph: {
            auto* processed =
                new ProcessedGraphView(view_host_, shell_.flags(), processed_settings_);
            frame_ = processed->frame();
            view_ = processed;
            break;
        }
        case shell::ShellView::RawOutputText: {
            auto* raw = new RawTextView(view_host_, shell_.flags());
            frame_ = raw->frame();
            view_ = raw;
            break;
        }
        case shell::ShellView::ProcessedOutputText: {
            auto* processed =
                new ProcessedTextView(view_host_, shell_.flags(), processed_settings_);
            frame_ = processed->frame();
            view_ = processed;
            break;
        }
        case shell::ShellView::Diagnostics: {
            auto* diagnostics = new DiagnosticsView(view_host_, shell_.flags());
            frame_ = diagnostics->frame();
            view_ = diagnostics;
            break;
        }
    }
    if (view_) {
        view_layout_->addWidget(view_);
        view_->show();
    }
}

void MainWindow::device_changed(const link::DeviceEvent& event) {
    if (event.change == link::DeviceChange::removal && shell_.device_removed(event.path)) {
        return;
    }
    if (connect_view_) {
        connect_view_->device_changed(event);
    }
}

void MainWindow::set_watch_problem(const std::string& text) {
    watch_problem_ = text;
    if (connect_view_) {
        connect_view_->set_watch_problem(text);
    }
}

void MainWindow::start_poll() {
    const unsigned generation = ++poll_generation_;
    // Both reports come on the poll thread: each becomes a queued call, so the poll never
    // waits for this thread.
    poll_.poll_start(views::StatusReports{
        .link_status =
            [handoff = handoff_, generation](bool answered, const records::PowerStatus& power) {
                handoff.post([generation, answered, power](MainWindow& w) {
                    if (generation == w.poll_generation_) {
                        w.shell_.link_status(answered, power);
                    }
                });
            },
        .sensor_mode =
            [handoff = handoff_, generation](records::SensorMode mode) {
                handoff.post([generation, mode](MainWindow& w) {
                    if (generation == w.poll_generation_) {
                        w.shell_.sensor_mode(mode);
                    }
                });
            },
    });
}

void MainWindow::stop_poll() {
    poll_.poll_stop();
    ++poll_generation_;
}

void MainWindow::show_about() {
    AboutBox box(shell_.about_lines(), this);
    box.exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        shell_.shut_down();
        if (view_) {
            view_->deleteLater();
        }
    }
    event->accept();
}

}  // namespace kelpira::ui
