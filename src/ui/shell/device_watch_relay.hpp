// Hands the device changes that a watcher reports on its own thread to the main window, as
// queued calls on the UI thread.
#pragma once

#include "link/device_watcher.hpp"
#include "ui/common/handoff.hpp"

namespace kelpira::ui {

class MainWindow;

class DeviceWatchRelay {
  public:
    // Starts the watcher. The watcher and the window must outlive the relay; events still
    // queued when the relay goes are dropped.
    DeviceWatchRelay(link::DeviceWatcher& watcher, MainWindow* window);
    // Stops the watcher: no event is reported after this.
    ~DeviceWatchRelay();

    DeviceWatchRelay(const DeviceWatchRelay&) = delete;
    DeviceWatchRelay& operator=(const DeviceWatchRelay&) = delete;

  private:
    link::DeviceWatcher& watcher_;
    Handoff<MainWindow> handoff_;
};

}  // namespace kelpira::ui
