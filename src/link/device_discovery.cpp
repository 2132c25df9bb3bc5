// Picking the sensors out of the attached HID devices.
#include "link/device_discovery.hpp"

#include <algorithm>
#include <cctype>

#include "common/visible_text.hpp"
#include "link/identity_fields.hpp"

namespace kelpira::link {

bool is_sensor_hardware_id(std::string_view hardware_id) {
    return std::any_of(
        kSensorHardwareIds.begin(), kSensorHardwareIds.end(),
        [&](std::string_view id) { return hardware_id.find(id) != std::string_view::npos; });
}

std::vector<DeviceEntry> enumerate_sensors(HidBackend& backend) {
    std::vector<DeviceEntry> entries;
    for (auto& info : backend.enumerate()) {
        if (is_sensor_hardware_id(info.hardware_id)) {
            entries.push_back({std::move(info.path), kModeUnidentified});
        }
    }
    return entries;
}

bool same_device_path(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string sensor_display_name(std::string_view name) {
    return common::visible_text(name.substr(0, kSensorNameMax));
}

}  // namespace kelpira::link
