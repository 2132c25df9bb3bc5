// The main window: menu, five-part status bar, and the one view it shows at a time. Its
// behaviour lives in shell::MainWindowController; this is the Qt skin around it.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <map>

#include "common/prompter.hpp"
#include "deployment_check/deployment_check_controller.hpp"
#include "graph/raw_graph_channels.hpp"
#include "link/device_watcher.hpp"
#include "link/hid_device.hpp"
#include "link/sensor_link.hpp"
#include "shell/main_window_controller.hpp"
#include "statemachine/editor_controller.hpp"
#include "ui/common/handoff.hpp"
#include "ui/views/view_frame.hpp"
#include "views/live_quality.hpp"
#include "views/status_poll.hpp"
#include "views/view_workers.hpp"

class QAction;
class QLabel;
class QVBoxLayout;

namespace kelpira::ui {

class ConnectView;
class PlatformSimulatorWindow;

class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    // The backend lists and opens devices; the link is the program's one link; every message
    // goes through the prompter.
    MainWindow(link::HidBackend& backend, link::SensorLink& link, common::Prompter& prompter);
    ~MainWindow() override;

    // A device arrived or left. Called on the UI thread; watchers reach it through
    // DeviceWatchRelay.
    void device_changed(const link::DeviceEvent& event);
    // Why device changes are not all followed (empty: they are); the Connect view shows it.
    void set_watch_problem(const std::string& text);

    // Carries out a command as its menu item does.
    void run_command(shell::Command command);

    // The menu item of a command, or nullptr when the menu does not show it.
    QAction* menu_action(shell::Command command) const;
    QWidget* current_view() const { return view_; }
    // The text a status bar part shows (without the centring tab).
    QString status_text(std::size_t part) const;
    const shell::MainWindowController& shell() const { return shell_; }
    // The current operation view's frame, or nullptr.
    ViewFrame* view_frame() const { return frame_; }
    // After a dialog that changes the chemistry record: the view reads it again once the
    // dialog's own events are done.
    void reload_view_config();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void build_menu();
    void build_status_bar();
    void add_command_handlers();
    void render();
    void show_view(shell::ShellView view);
    void start_poll();
    void stop_poll();
    void show_about();

    link::HidBackend& backend_;
    link::SensorLink& link_;
    common::Prompter& prompter_;
    shell::MainWindowController shell_;
    std::map<shell::Command, std::function<void()>> handlers_;
    std::map<shell::Command, QAction*> actions_;
    std::array<QLabel*, views::kStatusParts> status_labels_{};
    QVBoxLayout* view_layout_ = nullptr;
    QPointer<QWidget> view_;
    QPointer<ConnectView> connect_view_;
    std::string watch_problem_;
    std::string clock_log_;  // the clock log "Record Offset..." wrote last, for this session
    QPointer<PlatformSimulatorWindow> simulator_;  // modeless, once opened
    // The state-machine image, clipboard and paste options live as long as the window.
    statemachine::EditorSession state_machine_;
    graph::RawGraphSettings raw_graph_settings_;       // kept for the run
    views::ProcessedViewSettings processed_settings_;  // kept for the run
    deployment_check::CheckForm check_form_;  // the deployment check's entries, for the run
    QPointer<ViewFrame> frame_;
    views::ViewWorkers view_workers_;  // outlives every view, which the destructor deletes first
    ViewHost view_host_;
    // Reports of an earlier connection's poll still queued are recognised by this number.
    unsigned poll_generation_ = 0;
    Handoff<MainWindow> handoff_{this};  // the poll's way to the window
    // Declared last: destroyed first, so no poll thread outlives the window it reports to.
    views::StatusPoll poll_;
    bool closed_ = false;
};

}  // namespace kelpira::ui
