// Packing of the identity records through their tables, and the conversions from and to the
// legacy identity.
#include "link/identity_records.hpp"

#include <algorithm>

#include "link/device_types.hpp"
#include "link/identity_fields.hpp"

namespace kelpira::link {

DeviceInfo decode_device_info(std::span<const std::uint8_t> data) {
    return decode_record<DeviceInfo>(data);
}

std::array<std::uint8_t, DeviceInfo::size> encode(const DeviceInfo& d) {
    return encode_record(d);
}

SensorIdentification decode_sensor_identification(std::span<const std::uint8_t> data) {
    return decode_record<SensorIdentification>(data);
}

std::array<std::uint8_t, SensorIdentification::size> encode(const SensorIdentification& s) {
    return encode_record(s);
}

LegacyIdentity decode_legacy_identity(std::span<const std::uint8_t> data) {
    return decode_record<LegacyIdentity>(data);
}

std::array<std::uint8_t, LegacyIdentity::size> encode(const LegacyIdentity& l) {
    return encode_record(l);
}

FirmwareVersion decode_firmware_version(std::span<const std::uint8_t> data) {
    return decode_record<FirmwareVersion>(data);
}

std::array<std::uint8_t, FirmwareVersion::size> encode(const FirmwareVersion& f) {
    return encode_record(f);
}

SensorIdentification sensor_identification_from_legacy(std::span<const std::uint8_t> legacy) {
    std::array<std::uint8_t, SensorIdentification::size> bytes{};
    std::copy_n(legacy.begin(), std::min(legacy.size(), LegacyIdentity::size), bytes.begin());
    SensorIdentification s = decode_sensor_identification(bytes);
    if (bytes[0] == 0) {
        s.serial_number = 0;
    }
    s.layout = SensorIdentification::kLayout;
    s.reserved1 = 0;
    s.reserved23 = 0;
    s.reserved26 = 0;
    s.board_serial_number = 0;
    return s;
}

std::array<std::uint8_t, LegacyIdentity::size> legacy_identity_bytes(
    const SensorIdentification& s) {
    const auto full = encode(s);
    std::array<std::uint8_t, LegacyIdentity::size> out{};
    std::copy_n(full.begin(), out.size(), out.begin());
    out[0] = 1;
    return out;
}

DeviceInfo device_info_from_legacy(const LegacyIdentity& l) {
    DeviceInfo d;
    d.reserved0 = 0;
    d.mode = l.mode;
    d.device_type = device_type_of_kind(l.device_kind);
    d.bootloader_version = l.legacy_layout >= 1 ? l.bootloader_version : 0;
    return d;
}

}  // namespace kelpira::link
