// Which attached HID devices are sensors: the seven hardware ids, and the device list built
// from a backend's enumeration.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/hid_device.hpp"

namespace kelpira::link {

// Hardware ids of the sensor's USB vendor/product pairs, matched as case-sensitive substrings
// of a device's hardware id, in this order.
inline constexpr std::array<std::string_view, 7> kSensorHardwareIds = {
    "VID_C1CA&PID_B4BA", "VID_04D8&PID_EABC", "VID_04D8&PID_EABD", "VID_04D8&PID_EABE",
    "VID_04D8&PID_E967", "VID_04D8&PID_E968", "VID_04D8&PID_E969",
};

// The sensor's mode as the last probe found it: 0 not identified ("Unknown device"), 1 the
// bootloader runs, any other value the firmware runs.
using DeviceMode = std::uint32_t;
constexpr DeviceMode kModeUnidentified = 0;

// One attached device that matched a sensor hardware id.
struct DeviceEntry {
    std::string path;  // opens the link
    DeviceMode mode = kModeUnidentified;
};

bool is_sensor_hardware_id(std::string_view hardware_id);

// Every attached sensor, in the backend's device order, each with mode 0.
std::vector<DeviceEntry> enumerate_sensors(HidBackend& backend);

// Whether two device paths name the same device; the system compares them without regard
// to letter case.
bool same_device_path(std::string_view a, std::string_view b);

// A sensor's name as lists and titles show it: its first 20 bytes, made visible
// (common::visible_text), so that any bytes the sensor holds show without loss.
std::string sensor_display_name(std::string_view name);

}  // namespace kelpira::link
