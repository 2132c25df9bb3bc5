// HID devices served as local sockets by kelpira-virtual-sensor, one socket per device.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "common/unique_fd.hpp"
#include "link/hid_device.hpp"

namespace kelpira::link {

// Lists and opens the device sockets of one folder. Each socket carries one 129-byte report per
// packet in each direction; the server greets the one client it accepts and turns away others.
class SocketHidBackend : public HidBackend {
  public:
    explicit SocketHidBackend(std::string folder,
                              std::chrono::milliseconds greeting_timeout = std::chrono::seconds(1));

    const std::string& folder() const { return folder_; }

    // Device sockets in name order, with the hardware id their names carry, listed through
    // the folder's descriptor (common::open_private_folder). A missing folder is made, private,
    // and lists nothing; a folder that is not private to this user (or whose parent is not)
    // lists nothing, and unlisted_reason() then says why.
    std::vector<HidDeviceInfo> enumerate() override;
    std::string unlisted_reason() const override;
    // Connects through the folder's descriptor, never its name. nullptr when the path is not a
    // device socket of the folder, nothing listens on it, the device is open to another
    // client, the folder is not private to this user, or the socket's server (as the kernel
    // tells it) is neither this user nor root: unlisted_reason() then names it until the next
    // enumeration.
    std::unique_ptr<HidDevice> open(const std::string& path) override;

  private:
    common::UniqueFd open_folder();

    std::string folder_;
    std::chrono::milliseconds greeting_timeout_;
    mutable std::mutex mutex_;  // unlisted_, refused_
    std::string unlisted_;
    std::string refused_;
};

}  // namespace kelpira::link
