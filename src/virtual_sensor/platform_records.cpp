// GET/SET_PLATFORM_DEFAULTS, GET/SET_RS232_CONFIG and GET/SET_RS485_CONFIG of the emulated
// sensor.
#include "virtual_sensor/platform_records.hpp"

#include <algorithm>
#include <array>

#include "config/platform_lists.hpp"
#include "config/platform_records.hpp"
#include "link/command_catalogue.hpp"

namespace kelpira::virtual_sensor {

namespace {

using link::CommandCode;

constexpr std::uint16_t kGetPlatformDefaults = link::code_value(CommandCode::GET_PLATFORM_DEFAULTS);
constexpr std::uint16_t kGetRs232 = link::code_value(CommandCode::GET_RS232_CONFIG);
constexpr std::uint16_t kGetRs485 = link::code_value(CommandCode::GET_RS485_CONFIG);

template <std::size_t N>
bool listed(const std::array<std::uint32_t, N>& values, std::uint32_t value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

// What a UART of the sensor can be set to; the protocol is any number, as older firmware left
// protocols behind that the newest no longer speaks.
bool line_settings_fit(std::span<const std::uint32_t> bauds, std::uint32_t baud,
                       std::uint8_t parity, std::uint8_t data_bits, std::uint8_t stop_bits) {
    return std::find(bauds.begin(), bauds.end(), baud) != bauds.end() &&
           parity <= config::kParityNone && listed(config::kDataBits, data_bits) &&
           listed(config::kStopBits, stop_bits);
}

void get_record(Exchange& x) {
    const auto& record = x.state.records.at(x.code);
    std::copy(record.begin(), record.end(), x.response.begin());
    x.response_length = static_cast<std::uint8_t>(record.size());
}

// Stores the request as the record read with the code before, when `fits` accepts it.
template <typename Record, typename Decode>
void set_record(Exchange& x, Decode decode, bool (*fits)(const Record&)) {
    if (x.request_length != Record::size) {
        x.result = link::kResultBadLength;
        return;
    }
    const auto bytes = x.request.first(Record::size);
    if (!fits(decode(bytes))) {
        x.result = kResultBadValue;
        return;
    }
    x.state.records.at(static_cast<std::uint16_t>(x.code - 1)).assign(bytes.begin(), bytes.end());
}

void set_platform_defaults(Exchange& x) {
    set_record<config::PlatformDefaults>(
        x, [](auto b) { return config::decode_platform_defaults(b); },
        +[](const config::PlatformDefaults&) { return true; });
}

void set_rs232(Exchange& x) {
    set_record<config::Rs232Config>(
        x, [](auto b) { return config::decode_rs232_config(b); },
        +[](const config::Rs232Config& c) {
            return line_settings_fit(config::kRs232BaudRates, c.baud, c.parity, c.data_bits,
                                     c.stop_bits) &&
                   c.mode <= config::kRs232ModeDebug;
        });
}

void set_rs485(Exchange& x) {
    set_record<config::Rs485Config>(
        x, [](auto b) { return config::decode_rs485_config(b); },
        +[](const config::Rs485Config& c) {
            return line_settings_fit(config::kRs485BaudRates, c.baud, c.parity, c.data_bits,
                                     c.stop_bits) &&
                   c.protocol <= config::kRs485StormLogger;
        });
}

constexpr std::array kCommands{
    CommandEntry{kGetPlatformDefaults, get_record},
    CommandEntry{link::code_value(CommandCode::SET_PLATFORM_DEFAULTS), set_platform_defaults},
    CommandEntry{kGetRs232, get_record},
    CommandEntry{link::code_value(CommandCode::SET_RS232_CONFIG), set_rs232},
    CommandEntry{kGetRs485, get_record},
    CommandEntry{link::code_value(CommandCode::SET_RS485_CONFIG), set_rs485},
};

}  // namespace

std::span<const CommandEntry> platform_record_commands() {
    return kCommands;
}

void fill_platform_records(SensorState& state) {
    const auto store = [&state](std::uint16_t code, const auto& record) {
        state.records[code].assign(record.begin(), record.end());
    };
    store(kGetPlatformDefaults, config::encode(config::default_platform_defaults()));
    auto rs232 = config::default_rs232_config();
    rs232.protocol = state.options.rs232_protocol;
    store(kGetRs232, config::encode(rs232));
    store(kGetRs485, config::encode(config::default_rs485_config()));
}

}  // namespace kelpira::virtual_sensor
