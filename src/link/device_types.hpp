// Device type codes of the maker's device family: their display names, and the device kinds
// of the legacy identity record.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelpira::link {

inline constexpr std::uint16_t kDeviceTypeKelpira = 7310;
inline constexpr std::uint16_t kDeviceTypeKelpiraB = 7323;  // a later board of this sensor

struct DeviceTypeEntry {
    std::uint16_t code;
    std::string_view family_name;
};

inline constexpr std::string_view kKelpiraFamilyName = "KELPIRA Lab-on-Chip Sensor";
inline constexpr std::string_view kUnknownDeviceName = "Unknown Device";

inline constexpr std::array<DeviceTypeEntry, 26> kDeviceTypes{{
    {7306, "CTD Logger"},
    {7307, "Oxygen Optode"},
    {7308, "Fluorometer"},
    {7309, "Turbidity Sensor"},
    {kDeviceTypeKelpira, kKelpiraFamilyName},
    {7311, "Current Meter"},
    {7312, "Tide Gauge"},
    {7314, "Wave Recorder"},
    {7315, "Glider Interface Board"},
    {7316, "Data Hub"},
    {7318, "Acoustic Modem"},
    {7320, "pCO2 Analyser"},
    {kDeviceTypeKelpiraB, kKelpiraFamilyName},
    {7325, "UV Nitrate Sensor"},
    {7328, "Chlorophyll Sensor"},
    {7330, "PAR Sensor"},
    {7333, "Conductivity Cell"},
    {7336, "Pressure Recorder"},
    {7340, "Hydrophone"},
    {7344, "Sediment Trap Controller"},
    {7348, "Water Sampler"},
    {7352, "Mooring Controller"},
    {7356, "Battery Monitor"},
    {7360, "Thermistor Chain"},
    {7364, "Radiometer"},
    {7367, "Echo Sounder"},
}};

// "Marivane %s" with the family name of the code, or with "Unknown Device"; at most 39
// characters, as the list column's buffer holds.
std::string DeviceTypeName(std::uint16_t device_type);

// The device type a legacy device kind (1..12) stands for; 0 for an index outside 1..12.
std::uint16_t device_type_of_kind(std::uint8_t device_kind);

}  // namespace kelpira::link
