// Several HID backends seen as one: real USB sensors and virtual sensors side by side.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "link/device_watcher.hpp"
#include "link/hid_device.hpp"

namespace kelpira::link {

// Lists the devices of every backend, in backend order, and opens a path with the backend
// that lists it. The backends outlive this object.
class CombinedHidBackend : public HidBackend {
  public:
    explicit CombinedHidBackend(std::vector<HidBackend*> backends);

    std::vector<HidDeviceInfo> enumerate() override;
    // The reasons of every backend, one line each.
    std::string unlisted_reason() const override;
    std::unique_ptr<HidDevice> open(const std::string& path) override;

  private:
    HidBackend* owner_of(const std::string& path);

    std::vector<HidBackend*> backends_;
    std::mutex mutex_;
    std::map<std::string, HidBackend*> owners_;  // from the last enumeration
};

// Several device watchers seen as one; each reports on its own thread. The watchers outlive
// this object.
class CombinedDeviceWatcher : public DeviceWatcher {
  public:
    explicit CombinedDeviceWatcher(std::vector<DeviceWatcher*> watchers);
    ~CombinedDeviceWatcher() override;

    // True when at least one watcher started.
    bool start(DeviceEventHandler handler) override;
    // The problems of every watcher, one line each.
    std::string problem() const override;
    void stop() override;

  private:
    std::vector<DeviceWatcher*> watchers_;
};

}  // namespace kelpira::link
