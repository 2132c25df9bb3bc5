// Connecting and switching views on a timer, for a script that leaves the program running.
#include "ui/shell/view_cycler.hpp"

#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <array>

#include "shell/shell_menu.hpp"
#include "ui/shell/connect_view.hpp"
#include "ui/shell/main_window.hpp"

namespace kelpira::ui {

namespace {

constexpr std::array kViews{
    shell::Command::Compatibility,       shell::Command::RawOutputText,
    shell::Command::ProcessedOutputText, shell::Command::Diagnostics,
    shell::Command::RawOutputGraph,      shell::Command::ProcessedOutputGraph};

}  // namespace

void start_view_cycler(MainWindow& window, int seconds) {
    auto* timer = new QTimer(&window);
    QObject::connect(timer, &QTimer::timeout, &window, [&window, next = std::size_t{0}]() mutable {
        if (auto* view = qobject_cast<ConnectView*>(window.current_view())) {
            if (auto* first = view->device_list()->topLevelItem(0)) {
                view->device_list()->setCurrentItem(first);
                view->connect_button()->click();
            }
            return;
        }
        window.run_command(kViews[next++ % kViews.size()]);
    });
    timer->start(seconds * 1000);
}

}  // namespace kelpira::ui
