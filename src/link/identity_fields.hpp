// The field tables of the identity records: device info, sensor identification, the legacy
// identity and the firmware version. Each row is the one place a field is described: the
// codecs, "Configure Sensor Identification", the factory settings and the snapshots read it.
#pragma once

#include <array>

#include "link/field_table.hpp"
#include "link/identity_records.hpp"

namespace kelpira::link {

inline constexpr RecordTable<DeviceInfo, 4> kDeviceInfoTable{
    CommandCode::GET_DEVICE_INFO,
    kNoSetCommand,
    DeviceInfo::size,
    {{
        field<&DeviceInfo::reserved0>({.name = "reserved0", .offset = 0, .reserved = true}),
        field<&DeviceInfo::mode>({.name = "mode", .offset = 1}),
        field<&DeviceInfo::device_type>({.name = "device_type", .offset = 2}),
        field<&DeviceInfo::bootloader_version>({.name = "bootloader_version", .offset = 4}),
    }},
};

// The name holds 21 bytes; a dialog lets the user type 20 so that it keeps its terminator.
inline constexpr RecordTable<SensorIdentification, 7> kSensorIdentificationTable{
    CommandCode::GET_SENSOR_IDENTIFICATION,
    CommandCode::SET_SENSOR_IDENTIFICATION,
    SensorIdentification::size,
    {{
        field<&SensorIdentification::layout>({.name = "layout", .offset = 0}),
        field<&SensorIdentification::reserved1>(
            {.name = "reserved1", .offset = 1, .reserved = true}),
        text_field<&SensorIdentification::name>(
            21,
            {.name = "name", .offset = 2, .caption = "Name", .report = "Sensor Name", .high = 20}),
        field<&SensorIdentification::reserved23>(
            {.name = "reserved23", .offset = 23, .reserved = true}),
        field<&SensorIdentification::serial_number>({.name = "serial_number",
                                                     .offset = 24,
                                                     .caption = "Serial Number",
                                                     .report = "Sensor Serial Number",
                                                     .high = 65535}),
        field<&SensorIdentification::reserved26>(
            {.name = "reserved26", .offset = 26, .reserved = true}),
        // Kept in two bytes, set in one: a larger number would not fit the boards' other copies.
        field<&SensorIdentification::board_serial_number>(
            {.name = "board_serial_number",
             .offset = 27,
             .caption = "Processing Board Serial Number",
             .high = 255}),
    }},
};

inline constexpr RecordTable<LegacyIdentity, 6> kLegacyIdentityTable{
    CommandCode::GET_LEGACY_IDENTITY,
    CommandCode::SET_LEGACY_IDENTITY,
    LegacyIdentity::size,
    {{
        field<&LegacyIdentity::legacy_layout>({.name = "legacy_layout", .offset = 0}),
        field<&LegacyIdentity::mode>({.name = "mode", .offset = 1}),
        text_field<&LegacyIdentity::name>(21, {.name = "name", .offset = 2, .high = 20}),
        field<&LegacyIdentity::device_kind>({.name = "device_kind", .offset = 23}),
        field<&LegacyIdentity::serial_number>({.name = "serial_number", .offset = 24}),
        field<&LegacyIdentity::bootloader_version>({.name = "bootloader_version", .offset = 26}),
    }},
};

inline constexpr RecordTable<FirmwareVersion, 2> kFirmwareVersionTable{
    CommandCode::GET_FIRMWARE_VERSION,
    kNoSetCommand,
    FirmwareVersion::size,
    {{
        field<&FirmwareVersion::reserved0>({.name = "reserved0", .offset = 0, .reserved = true}),
        text_field<&FirmwareVersion::text>(25, {.name = "text", .offset = 1}),
    }},
};

static_assert(tiles(kDeviceInfoTable));
static_assert(tiles(kSensorIdentificationTable));
static_assert(tiles(kLegacyIdentityTable));
static_assert(tiles(kFirmwareVersionTable));
static_assert(commands_carry(kDeviceInfoTable));
static_assert(commands_carry(kSensorIdentificationTable));
static_assert(commands_carry(kLegacyIdentityTable));
static_assert(commands_carry(kFirmwareVersionTable));

constexpr const auto& record_table(std::type_identity<DeviceInfo>) {
    return kDeviceInfoTable;
}
constexpr const auto& record_table(std::type_identity<SensorIdentification>) {
    return kSensorIdentificationTable;
}
constexpr const auto& record_table(std::type_identity<LegacyIdentity>) {
    return kLegacyIdentityTable;
}
constexpr const auto& record_table(std::type_identity<FirmwareVersion>) {
    return kFirmwareVersionTable;
}

// The fields "Configure Sensor Identification" edits, in its order.
inline constexpr std::array<const char*, 2> kIdentificationFields{"name", "serial_number"};

// The name's field and the longest name a dialog lets the user type, from its row.
inline constexpr std::size_t kSensorNameField = row_of<SensorIdentification>("name").count;
inline constexpr std::size_t kSensorNameMax =
    static_cast<std::size_t>(row_of<SensorIdentification>("name").spec.high);
inline constexpr std::size_t kFirmwareVersionField = row_of<FirmwareVersion>("text").count;

}  // namespace kelpira::link
