// hidraw backend: hidapi enumeration, exclusive open, report ids from the report descriptor.
#include "link/hidraw_backend.hpp"

#include <fcntl.h>
#include <hidapi/hidapi.h>
#include <linux/hidraw.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <span>

#include "link/fd_hid_device.hpp"
#include "link/hid_report_descriptor.hpp"

namespace kelpira::link {

namespace {

// What the report descriptor says; an unreadable descriptor counts as one without ids for
// reading, and leaves the report id test unanswered.
FdHidOptions read_options(int fd) {
    FdHidOptions options;
    int size = 0;
    if (::ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size <= 0) {
        return options;
    }
    hidraw_report_descriptor descriptor{};
    descriptor.size = static_cast<std::uint32_t>(size);
    if (::ioctl(fd, HIDIOCGRDESC, &descriptor) < 0) {
        return options;
    }
    const ReportIds ids = parse_report_ids(std::span<const std::uint8_t>(
        descriptor.value, std::min<std::size_t>(descriptor.size, sizeof descriptor.value)));
    options.numbered_input = ids.numbered;
    options.declares_input_report_1 = ids.input.count(1) != 0;
    return options;
}

}  // namespace

std::string hardware_id_text(std::uint16_t vendor_id, std::uint16_t product_id) {
    char text[18];
    std::snprintf(text, sizeof text, "VID_%04X&PID_%04X", vendor_id, product_id);
    return text;
}

std::vector<HidDeviceInfo> HidrawBackend::enumerate() {
    std::vector<HidDeviceInfo> out;
    hid_device_info* list = hid_enumerate(0, 0);
    // hidapi may list a node once per top-level collection; the node is the device.
    std::set<std::string> seen;
    for (const hid_device_info* d = list; d != nullptr; d = d->next) {
        if (d->path != nullptr && seen.insert(d->path).second) {
            out.push_back({d->path, hardware_id_text(d->vendor_id, d->product_id)});
        }
    }
    hid_free_enumeration(list);
    return out;
}

std::unique_ptr<HidDevice> HidrawBackend::open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    // hidraw lets any number of handles read the same reports; the link must be the only
    // reader, or answers would go astray. The lock goes with the descriptor when it closes.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return nullptr;
    }
    return FdHidDevice::adopt(fd, read_options(fd));
}

}  // namespace kelpira::link
