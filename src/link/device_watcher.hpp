// The device-watcher port: arrival and removal of HID devices by path, whatever reports them.
#pragma once

#include <functional>
#include <string>

namespace kelpira::link {

enum class DeviceChange { arrival, removal };

struct DeviceEvent {
    DeviceChange change = DeviceChange::arrival;
    std::string path;  // as enumeration lists it
};

// Called on the watcher's own thread. It must not block: the UI hands the event to its own
// thread with a queued call.
using DeviceEventHandler = std::function<void(const DeviceEvent&)>;

class DeviceWatcher {
  public:
    virtual ~DeviceWatcher() = default;

    // Starts reporting events to the handler; false (and nothing reported) when the platform
    // refuses to watch. Calling start on a watcher already started fails.
    virtual bool start(DeviceEventHandler handler) = 0;
    // Stops reporting. When it returns, the handler is not running and is not called again.
    // Harmless when not started.
    virtual void stop() = 0;
};

}  // namespace kelpira::link
