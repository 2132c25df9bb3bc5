// Packing of the identity records and the conversions from and to the legacy identity.
#include "link/identity_records.hpp"

#include <algorithm>

#include "common/bytes.hpp"
#include "link/device_types.hpp"

namespace kelpira::link {

namespace {

// Writes the name's bytes as given, the rest of the field zero: a name the user typed is held
// to 20 bytes by its dialog, so it keeps its terminator, and one read from the sensor (21 bytes
// without a terminator included) goes back as it came.
void write_name(common::ByteWriter& w, const std::string& name) {
    w.text(name, kSensorNameField);
}

}  // namespace

DeviceInfo decode_device_info(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    DeviceInfo d;
    d.reserved0 = r.u8();
    d.mode = r.u8();
    d.device_type = r.u16();
    d.bootloader_version = r.u8();
    return d;
}

std::array<std::uint8_t, DeviceInfo::size> encode(const DeviceInfo& d) {
    std::array<std::uint8_t, DeviceInfo::size> out{};
    common::ByteWriter w(out);
    w.u8(d.reserved0);
    w.u8(d.mode);
    w.u16(d.device_type);
    w.u8(d.bootloader_version);
    return out;
}

SensorIdentification decode_sensor_identification(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    SensorIdentification s;
    s.layout = r.u8();
    s.reserved1 = r.u8();
    s.name = r.text(kSensorNameField);
    s.reserved23 = r.u8();
    s.serial_number = r.u16();
    s.reserved26 = r.u8();
    s.board_serial_number = r.u16();
    return s;
}

std::array<std::uint8_t, SensorIdentification::size> encode(const SensorIdentification& s) {
    std::array<std::uint8_t, SensorIdentification::size> out{};
    common::ByteWriter w(out);
    w.u8(s.layout);
    w.u8(s.reserved1);
    write_name(w, s.name);
    w.u8(s.reserved23);
    w.u16(s.serial_number);
    w.u8(s.reserved26);
    w.u16(s.board_serial_number);
    return out;
}

LegacyIdentity decode_legacy_identity(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    LegacyIdentity l;
    l.legacy_layout = r.u8();
    l.mode = r.u8();
    l.name = r.text(kSensorNameField);
    l.device_kind = r.u8();
    l.serial_number = r.u16();
    l.bootloader_version = r.u8();
    return l;
}

std::array<std::uint8_t, LegacyIdentity::size> encode(const LegacyIdentity& l) {
    std::array<std::uint8_t, LegacyIdentity::size> out{};
    common::ByteWriter w(out);
    w.u8(l.legacy_layout);
    w.u8(l.mode);
    write_name(w, l.name);
    w.u8(l.device_kind);
    w.u16(l.serial_number);
    w.u8(l.bootloader_version);
    return out;
}

FirmwareVersion decode_firmware_version(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    FirmwareVersion f;
    f.reserved0 = r.u8();
    f.text = r.text(FirmwareVersion::text_field);
    return f;
}

std::array<std::uint8_t, FirmwareVersion::size> encode(const FirmwareVersion& f) {
    std::array<std::uint8_t, FirmwareVersion::size> out{};
    common::ByteWriter w(out);
    w.u8(f.reserved0);
    w.text(f.text, FirmwareVersion::text_field);
    return out;
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
