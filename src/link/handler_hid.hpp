// HID devices a handler function answers in this process: the virtual sensor in tests and
// benchmarks; the device server answers its sockets with the same handlers.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "link/hid_device.hpp"

namespace kelpira::link {

// One input report a device will offer, `delay` after the request that produced it.
struct InProcessReport {
    Report bytes{};
    std::chrono::milliseconds delay{0};
};

// Called with every report written to the device, outside the device's locks, so it may
// remove the device. Returns the input reports to queue (none: the device stays silent).
using InProcessHandler = std::function<std::vector<InProcessReport>(const Report& request)>;

struct InProcessEntry;

class InProcessHidBackend : public HidBackend {
  public:
    // Adds a device that enumeration lists and open() finds (a device arrives).
    void add(const std::string& path, const std::string& hardware_id, InProcessHandler handler,
             std::optional<bool> declares_report_id_1 = false);
    // Removes a device: it leaves the list, and every open handle fails from now on.
    void remove(const std::string& path);
    // Every report written to the device since it was added, in order.
    std::vector<Report> written(const std::string& path) const;

    std::vector<HidDeviceInfo> enumerate() override;
    std::unique_ptr<HidDevice> open(const std::string& path) override;

  private:
    mutable std::mutex mutex_;
    std::map<std::string, std::shared_ptr<InProcessEntry>> devices_;
    std::vector<std::string> order_;  // arrival order, which enumeration keeps
};

}  // namespace kelpira::link
