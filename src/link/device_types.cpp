// Display names of device type codes and the legacy device-kind table.
#include "link/device_types.hpp"

#include <algorithm>

namespace kelpira::link {

namespace {

constexpr std::size_t kNameBuffer = 40;  // characters with the terminator

// Device kinds 1..12 of the legacy identity, in index order; 2 and 7 are this sensor.
constexpr std::array<std::uint16_t, 12> kDeviceKinds{
    7306, kDeviceTypeKelpira, 7307, 7308, 7309, 7311, kDeviceTypeKelpiraB, 7312, 7314, 7315, 7316,
    7318,
};

}  // namespace

std::string DeviceTypeName(std::uint16_t device_type) {
    const auto it = std::find_if(kDeviceTypes.begin(), kDeviceTypes.end(),
                                 [&](const DeviceTypeEntry& e) { return e.code == device_type; });
    const std::string_view family = it != kDeviceTypes.end() ? it->family_name : kUnknownDeviceName;
    std::string name = "Marivane ";
    name += family;
    if (name.size() > kNameBuffer - 1) {
        name.resize(kNameBuffer - 1);
    }
    return name;
}

std::uint16_t device_type_of_kind(std::uint8_t device_kind) {
    if (device_kind < 1 || device_kind > kDeviceKinds.size()) {
        return 0;
    }
    return kDeviceKinds[device_kind - 1u];
}

}  // namespace kelpira::link
