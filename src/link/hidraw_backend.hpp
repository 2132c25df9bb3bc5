// Real USB HID devices on Linux: listed through hidapi, opened and driven through hidraw.
#pragma once

#include <cstdint>
#include <string>

#include "link/hid_device.hpp"

namespace kelpira::link {

// hidapi (0.13) gives the device list with vendor and product ids, but its devices can be
// opened twice, its reads can only be abandoned by polling with a time-out, and it does not
// hand out the report descriptor. So the devices are opened on their hidraw node directly:
// an exclusive flock() on the node, poll() with an eventfd for cancellation, and the report
// descriptor from HIDIOCGRDESC.
class HidrawBackend : public HidBackend {
  public:
    // Paths are hidraw nodes ("/dev/hidraw3"), one entry per node, in the system's order.
    std::vector<HidDeviceInfo> enumerate() override;
    // nullptr when the node cannot be opened for reading and writing, or another process (or
    // another handle of this one) holds it.
    std::unique_ptr<HidDevice> open(const std::string& path) override;
};

// "VID_04D8&PID_EABC": the form the hardware-id list matches, upper-case hexadecimal.
std::string hardware_id_text(std::uint16_t vendor_id, std::uint16_t product_id);

}  // namespace kelpira::link
