// The device watcher port: arrival and removal of devices, by the path that opens them.
#pragma once

#include <functional>
#include <string>

namespace kelpira::link {

enum class DeviceChange { arrival, removal };

struct DeviceEvent {
    DeviceChange change = DeviceChange::arrival;
    std::string path;  // as enumeration lists it; compared without regard to case on removal
};

// Runs on the watcher's own thread. It must return quickly and never wait for the thread
// that calls stop(): the UI hands each event on as a queued call.
using DeviceEventHandler = std::function<void(const DeviceEvent&)>;

// One source of device changes (hidraw devices, the virtual-sensor folder). Events that
// happen before start() or after stop() are not reported.
class DeviceWatcher {
  public:
    virtual ~DeviceWatcher() = default;

    // Starts watching on the watcher's own thread. False when the watch cannot be set up
    // (the watcher then reports nothing) or when it is already running.
    virtual bool start(DeviceEventHandler handler) = 0;
    // Why the last start() left changes unwatched, for the user; empty when it did not.
    virtual std::string problem() const { return {}; }
    // Ends the watch. When it returns, no handler call is running and none will start.
    // Harmless when not started; never called from the handler.
    virtual void stop() = 0;
};

}  // namespace kelpira::link
