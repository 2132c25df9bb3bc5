// Arrival and removal of hidraw devices, from a libudev monitor on its own thread.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "link/device_watcher.hpp"

struct udev;
struct udev_monitor;

namespace kelpira::link {

// Reports "/dev/hidrawN" as it arrives and goes: the path the hidraw backend lists.
class UdevHidrawWatcher : public DeviceWatcher {
  public:
    UdevHidrawWatcher() = default;
    ~UdevHidrawWatcher() override;
    UdevHidrawWatcher(const UdevHidrawWatcher&) = delete;
    UdevHidrawWatcher& operator=(const UdevHidrawWatcher&) = delete;

    bool start(DeviceEventHandler handler) override;
    std::string problem() const override;
    void stop() override;

  private:
    mutable std::mutex mutex_;  // start, stop and problem_
    std::string problem_;
    std::thread thread_;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    int wake_fd_ = -1;  // an eventfd that stop() signals to end the thread's poll()
};

// The event a udev action on a hidraw node stands for: "add" an arrival, "remove" a
// removal; other actions ("change", "bind") and nodes without a path are none.
std::optional<DeviceEvent> hidraw_event(const char* action, const char* devnode);

}  // namespace kelpira::link
