// HID devices served as local sockets by kelpira-virtual-sensor, one socket per device.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "link/hid_device.hpp"

namespace kelpira::link {

// Lists and opens the device sockets of one folder. Each socket carries one 129-byte report per
// packet in each direction; the server greets the one client it accepts and turns away others.
class SocketHidBackend : public HidBackend {
  public:
    explicit SocketHidBackend(std::string folder,
                              std::chrono::milliseconds greeting_timeout = std::chrono::seconds(1));

    const std::string& folder() const { return folder_; }

    // Device sockets in name order, with the hardware id their names carry. A missing folder
    // lists nothing; so does a folder that is not private to this user (or whose parent is
    // not), and unlisted_reason() then says why.
    std::vector<HidDeviceInfo> enumerate() override;
    std::string unlisted_reason() const override;
    // nullptr when nothing listens on the path, the device is open to another client, or the
    // folder is not private to this user.
    std::unique_ptr<HidDevice> open(const std::string& path) override;

  private:
    std::string folder_;
    std::chrono::milliseconds greeting_timeout_;
    mutable std::mutex mutex_;  // unlisted_
    std::string unlisted_;
};

}  // namespace kelpira::link
