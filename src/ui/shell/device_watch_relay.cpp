// Watcher threads never touch the window: each event becomes a queued call on the UI thread.
#include "ui/shell/device_watch_relay.hpp"

#include "ui/shell/main_window.hpp"

namespace kelpira::ui {

DeviceWatchRelay::DeviceWatchRelay(link::DeviceWatcher& watcher, MainWindow* window)
    : watcher_(watcher), handoff_(window) {
    watcher_.start([handoff = handoff_](const link::DeviceEvent& event) {
        handoff.post([event](MainWindow& w) { w.device_changed(event); });
    });
    window->set_watch_problem(watcher_.problem());
}

DeviceWatchRelay::~DeviceWatchRelay() {
    watcher_.stop();
    handoff_.close();
}

}  // namespace kelpira::ui
