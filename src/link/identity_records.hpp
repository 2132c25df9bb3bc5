// The sensor's identity records: device info, sensor identification, the legacy identity of
// older firmware and the bootloader, and the firmware version text; with the conversions the
// identity commands use when the sensor only knows the legacy record. Their fields are
// described in link/identity_fields.hpp.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace kelpira::link {

inline constexpr std::uint8_t kModeBootloader = 1;
inline constexpr std::uint8_t kModeFirmware = 2;  // any nonzero mode other than 1 counts as this

struct DeviceInfo {
    static constexpr std::size_t size = 5;

    std::uint8_t reserved0 = 0;  // not used by the PC
    std::uint8_t mode = 0;       // 1 bootloader running, 2 firmware running
    std::uint16_t device_type = 0;
    std::uint8_t bootloader_version = 0;

    bool operator==(const DeviceInfo&) const = default;
};

struct SensorIdentification {
    static constexpr std::size_t size = 29;
    static constexpr std::uint8_t kLayout = 2;  // the layout every record the PC writes has

    std::uint8_t layout = kLayout;
    std::uint8_t reserved1 = 0;  // not used by the PC
    std::string name;            // read up to its terminator or 21 bytes; written as it is
    std::uint8_t reserved23 = 0;
    std::uint16_t serial_number = 0;  // the number engraved on the microfluidic chip
    std::uint8_t reserved26 = 0;
    std::uint16_t board_serial_number = 0;

    bool operator==(const SensorIdentification&) const = default;
};

struct LegacyIdentity {
    static constexpr std::size_t size = 27;

    std::uint8_t legacy_layout = 0;  // 0: no serial number, no bootloader version
    std::uint8_t mode = 0;
    std::string name;
    std::uint8_t device_kind = 0;  // 1..12; 2 and 7 denote this sensor
    std::uint16_t serial_number = 0;
    std::uint8_t bootloader_version = 0;

    bool operator==(const LegacyIdentity&) const = default;
};

struct FirmwareVersion {
    static constexpr std::size_t size = 26;

    std::uint8_t reserved0 = 0;  // not used by the PC
    std::string text;            // ends at its terminator or at byte 25 of the record

    bool operator==(const FirmwareVersion&) const = default;
};

DeviceInfo decode_device_info(std::span<const std::uint8_t> data);
std::array<std::uint8_t, DeviceInfo::size> encode(const DeviceInfo& d);

SensorIdentification decode_sensor_identification(std::span<const std::uint8_t> data);
std::array<std::uint8_t, SensorIdentification::size> encode(const SensorIdentification& s);

LegacyIdentity decode_legacy_identity(std::span<const std::uint8_t> data);
std::array<std::uint8_t, LegacyIdentity::size> encode(const LegacyIdentity& l);

FirmwareVersion decode_firmware_version(std::span<const std::uint8_t> data);
std::array<std::uint8_t, FirmwareVersion::size> encode(const FirmwareVersion& f);

// The 27 legacy bytes laid over bytes 0..26 of an identification record: name and serial
// number land in their places (the serial number cleared for the oldest layout), layout 2,
// and the bytes the legacy record uses otherwise cleared.
SensorIdentification sensor_identification_from_legacy(std::span<const std::uint8_t> legacy);

// Bytes 0..26 of the identification record with legacy_layout 1: reserved23 goes out as the
// device kind and reserved26 as the bootloader version.
std::array<std::uint8_t, LegacyIdentity::size> legacy_identity_bytes(const SensorIdentification& s);

// The device info a legacy record stands for; the device type by the device-kind table.
DeviceInfo device_info_from_legacy(const LegacyIdentity& l);

}  // namespace kelpira::link
