// Identity and bootloader commands of the emulated sensor.
#include "virtual_sensor/identity_commands.hpp"

#include <algorithm>

#include "common/bytes.hpp"

namespace kelpira::virtual_sensor {

namespace {

constexpr std::uint16_t kGetLegacyIdentity = 256;
constexpr std::uint16_t kSetLegacyIdentity = 257;
constexpr std::uint16_t kStartFirmware = 258;
constexpr std::uint16_t kGetSensorIdentification = 260;
constexpr std::uint16_t kSetSensorIdentification = 261;
constexpr std::uint16_t kGetDeviceInfo = 262;
constexpr std::uint16_t kGetFirmwareVersion = 294;

constexpr std::size_t kNameOffset = 2;  // in both identity records
constexpr std::size_t kNameWidth = 21;
constexpr std::size_t kSerialOffset = 24;
constexpr std::size_t kLegacyIdentitySize = 27;
constexpr std::size_t kDeviceInfoSize = 5;
constexpr std::size_t kFirmwareVersionSize = 26;
constexpr std::uint8_t kRunOn = '~';  // what fills a text field that has no terminator

// Fills the NULs of a text field so that it has no terminator, and the byte after it.
void run_on(std::span<std::uint8_t> field_and_next) {
    std::replace(field_and_next.begin(), field_and_next.end(), std::uint8_t{0}, kRunOn);
}

void get_sensor_identification(Exchange& x) {
    if (x.state.options.legacy_identity) {
        x.result = link::kResultUnknownCommand;
        return;
    }
    std::copy(x.state.identification.begin(), x.state.identification.end(), x.response.begin());
    if (x.unterminated_text) {
        run_on(x.response.subspan(kNameOffset, kNameWidth + 1));
    }
    x.response_length = kIdentificationSize;
}

void set_sensor_identification(Exchange& x) {
    if (x.state.options.legacy_identity) {
        x.result = link::kResultUnknownCommand;
        return;
    }
    if (x.request_length != kIdentificationSize) {
        x.result = link::kResultBadLength;
        return;
    }
    std::copy_n(x.request.begin(), kIdentificationSize, x.state.identification.begin());
}

void get_device_info(Exchange& x) {
    if (x.state.options.legacy_identity) {
        x.result = link::kResultUnknownCommand;
        return;
    }
    common::ByteWriter w(x.response);
    w.u8(0);
    w.u8(static_cast<std::uint8_t>(x.state.options.running));
    w.u16(x.state.options.device_type);
    w.u8(x.state.options.bootloader_version);
    x.response_length = kDeviceInfoSize;
}

void get_legacy_identity(Exchange& x) {
    const auto& o = x.state.options;
    // A sensor that still speaks the legacy record may be of its oldest layout; a current one
    // answers with layout 1.
    const std::uint8_t layout = o.legacy_identity ? o.legacy_layout : std::uint8_t{1};
    common::ByteReader id(x.state.identification);
    id.skip(kSerialOffset);
    const std::uint16_t serial = id.u16();

    common::ByteWriter w(x.response);
    w.u8(layout);
    w.u8(static_cast<std::uint8_t>(o.running));
    w.bytes(std::span(x.state.identification).subspan(kNameOffset, kNameWidth));
    w.u8(o.device_kind);
    w.u16(layout == 0 ? std::uint16_t{0} : serial);
    w.u8(layout == 0 ? std::uint8_t{0} : o.bootloader_version);
    if (x.unterminated_text) {
        run_on(x.response.subspan(kNameOffset, kNameWidth + 1));
    }
    x.response_length = kLegacyIdentitySize;
}

// The device kind and bootloader version are the hardware's own: a write changes only the
// name and, from layout 1 on, the serial number. (A PC that read the identity through the
// newer record sends zeros there, which must not turn the sensor into an unknown device.)
void set_legacy_identity(Exchange& x) {
    if (x.request_length != kLegacyIdentitySize) {
        x.result = link::kResultBadLength;
        return;
    }
    std::copy_n(x.request.begin() + kNameOffset, kNameWidth,
                x.state.identification.begin() + kNameOffset);
    if (x.request[0] >= 1) {
        std::copy_n(x.request.begin() + kSerialOffset, 2,
                    x.state.identification.begin() + kSerialOffset);
    }
}

// Only the bootloader starts the firmware; the answer goes out before it leaves.
void start_firmware(Exchange& x) {
    if (x.state.options.running != RunningCode::bootloader) {
        x.result = link::kResultUnknownCommand;
        return;
    }
    x.state.options.running = RunningCode::firmware;
    x.restart = true;
}

void get_firmware_version(Exchange& x) {
    common::ByteWriter w(x.response);
    w.u8(0);
    w.text(x.state.options.firmware_version, kFirmwareVersionSize - 1);
    if (x.unterminated_text) {
        run_on(x.response.subspan(1, kFirmwareVersionSize));
    }
    x.response_length = kFirmwareVersionSize;
}

constexpr std::array kCommands{
    CommandEntry{kGetLegacyIdentity, get_legacy_identity, true},
    CommandEntry{kSetLegacyIdentity, set_legacy_identity, true},
    CommandEntry{kStartFirmware, start_firmware, true},
    CommandEntry{kGetSensorIdentification, get_sensor_identification, true},
    CommandEntry{kSetSensorIdentification, set_sensor_identification, true},
    CommandEntry{kGetDeviceInfo, get_device_info, true},
    CommandEntry{kGetFirmwareVersion, get_firmware_version, false},
};

}  // namespace

std::span<const CommandEntry> identity_commands() {
    return kCommands;
}

std::array<std::uint8_t, kIdentificationSize> initial_identification(
    const VirtualSensorOptions& options) {
    std::array<std::uint8_t, kIdentificationSize> id{};
    common::ByteWriter w(id);
    w.u8(2);  // layout
    w.u8(0);
    w.text(options.name.substr(0, kNameWidth - 1), kNameWidth);
    w.u8(0);
    w.u16(options.serial_number);
    w.u8(0);
    w.u16(options.board_serial_number);
    return id;
}

}  // namespace kelpira::virtual_sensor
