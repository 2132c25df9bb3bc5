// Watcher threads never touch the window: each event becomes a queued call on the UI thread.
#include "ui/shell/device_watch_relay.hpp"

#include <QMetaObject>

#include "ui/shell/main_window.hpp"

namespace kelpira::ui {

DeviceWatchRelay::DeviceWatchRelay(link::DeviceWatcher& watcher, MainWindow* window)
    : watcher_(watcher) {
    watcher_.start([window](const link::DeviceEvent& event) {
        QMetaObject::invokeMethod(
            window, [window, event] { window->device_changed(event); }, Qt::QueuedConnection);
    });
    window->set_watch_problem(watcher_.problem());
}

DeviceWatchRelay::~DeviceWatchRelay() {
    watcher_.stop();
}

}  // namespace kelpira::ui
