// Identity and bootloader commands of the emulated sensor.
#include "virtual_sensor/identity_handlers.hpp"

#include <algorithm>

#include "link/command_catalogue.hpp"
#include "link/identity_fields.hpp"

namespace kelpira::virtual_sensor {

namespace {

using link::CommandCode;

constexpr std::size_t kNameOffset = 2;  // in both identity records
constexpr std::uint8_t kRunOn = '~';    // what fills a text field that has no terminator

template <std::size_t N>
std::uint8_t put(Exchange& x, const std::array<std::uint8_t, N>& record) {
    std::copy(record.begin(), record.end(), x.response.begin());
    return static_cast<std::uint8_t>(N);
}

// Fills the NULs of a text field and of the byte after it, so that the field has no
// terminator and a reader that does not stop at its width runs on.
void run_on(Exchange& x, std::size_t offset, std::size_t width) {
    const auto field = x.response.subspan(offset, width + 1);
    std::replace(field.begin(), field.end(), std::uint8_t{0}, kRunOn);
}

void get_sensor_identification(Exchange& x) {
    if (x.state.options.legacy_identity) {
        x.result = link::kResultUnknownCommand;
        return;
    }
    x.response_length = put(x, x.state.identification);
    if (x.unterminated_text) {
        run_on(x, kNameOffset, link::kSensorNameField);
    }
}

void set_sensor_identification(Exchange& x) {
    if (x.state.options.legacy_identity) {
        x.result = link::kResultUnknownCommand;
        return;
    }
    if (x.state.options.old_identification_write) {
        x.result = link::kResultTooOld;
        return;
    }
    if (x.request_length != link::SensorIdentification::size) {
        x.result = link::kResultBadLength;
        return;
    }
    std::copy_n(x.request.begin(), x.state.identification.size(), x.state.identification.begin());
}

void get_device_info(Exchange& x) {
    if (x.state.options.legacy_identity) {
        x.result = link::kResultUnknownCommand;
        return;
    }
    link::DeviceInfo info;
    info.mode = static_cast<std::uint8_t>(x.state.options.running);
    info.device_type = x.state.options.device_type;
    info.bootloader_version = x.state.options.bootloader_version;
    x.response_length = put(x, link::encode(info));
}

void get_legacy_identity(Exchange& x) {
    const auto& o = x.state.options;
    const auto id = link::decode_sensor_identification(x.state.identification);
    link::LegacyIdentity l;
    // A sensor that still speaks only the legacy record may be of its oldest layout; a
    // current one answers with layout 1.
    l.legacy_layout = o.legacy_identity ? o.legacy_layout : std::uint8_t{1};
    l.mode = static_cast<std::uint8_t>(o.running);
    l.name = id.name;
    l.device_kind = o.device_kind;
    if (l.legacy_layout >= 1) {
        l.serial_number = id.serial_number;
        l.bootloader_version = o.bootloader_version;
    }
    x.response_length = put(x, link::encode(l));
    if (x.unterminated_text) {
        run_on(x, kNameOffset, link::kSensorNameField);
    }
}

// The device kind and bootloader version are the hardware's own: a write changes only the
// name and, from layout 1 on, the serial number. (A PC that read the identity through the
// newer record sends zeros there, which must not turn the sensor into an unknown device.)
void set_legacy_identity(Exchange& x) {
    if (x.request_length != link::LegacyIdentity::size) {
        x.result = link::kResultBadLength;
        return;
    }
    const auto l = link::decode_legacy_identity(x.request);
    auto id = link::decode_sensor_identification(x.state.identification);
    id.name = l.name;
    if (l.legacy_layout >= 1) {
        id.serial_number = l.serial_number;
    }
    x.state.identification = link::encode(id);
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
    link::FirmwareVersion v;
    v.text = x.state.options.firmware_version;
    x.response_length = put(x, link::encode(v));
    if (x.unterminated_text) {
        run_on(x, 1, link::kFirmwareVersionField);
    }
}

constexpr std::uint16_t code(CommandCode c) {
    return link::code_value(c);
}

constexpr std::array kCommands{
    CommandEntry{code(CommandCode::GET_LEGACY_IDENTITY), get_legacy_identity, true},
    CommandEntry{code(CommandCode::SET_LEGACY_IDENTITY), set_legacy_identity, true},
    CommandEntry{code(CommandCode::START_FIRMWARE), start_firmware, true},
    CommandEntry{code(CommandCode::GET_SENSOR_IDENTIFICATION), get_sensor_identification, true},
    CommandEntry{code(CommandCode::SET_SENSOR_IDENTIFICATION), set_sensor_identification, true},
    CommandEntry{code(CommandCode::GET_DEVICE_INFO), get_device_info, true},
    CommandEntry{code(CommandCode::GET_FIRMWARE_VERSION), get_firmware_version, false},
};

}  // namespace

std::span<const CommandEntry> identity_commands() {
    return kCommands;
}

std::array<std::uint8_t, link::SensorIdentification::size> initial_identification(
    const VirtualSensorOptions& options) {
    link::SensorIdentification id;
    // The name given on the command line is stored as a PC would write it: 20 bytes at most,
    // so the field keeps its terminator.
    id.name = options.name.substr(0, link::kSensorNameMax);
    id.serial_number = options.serial_number;
    id.board_serial_number = options.board_serial_number;
    return link::encode(id);
}

}  // namespace kelpira::virtual_sensor
