// GET/SET_PLATFORM_DEFAULTS, GET/SET_RS232_CONFIG and GET/SET_RS485_CONFIG of the emulated
// sensor.
#include "virtual_sensor/platform_record_handlers.hpp"

#include <algorithm>
#include <array>

#include "link/command_catalogue.hpp"
#include "records/platform_records.hpp"
#include "virtual_sensor/factory_records.hpp"

namespace kelpira::virtual_sensor {

namespace {

using link::CommandCode;

constexpr std::uint16_t kGetPlatformDefaults = link::code_value(CommandCode::GET_PLATFORM_DEFAULTS);
constexpr std::uint16_t kGetRs232 = link::code_value(CommandCode::GET_RS232_CONFIG);
constexpr std::uint16_t kGetRs485 = link::code_value(CommandCode::GET_RS485_CONFIG);

void get_record(Exchange& x) {
    const auto& record = x.state.records.at(x.code);
    std::copy(record.begin(), record.end(), x.response.begin());
    x.response_length = static_cast<std::uint8_t>(record.size());
}

// Keeps the request as the record read with the code before. The sensor takes any value:
// protocols that older firmware left behind stay stored though the newest no longer speaks
// them.
template <typename Record>
void set_record(Exchange& x) {
    if (x.request_length != Record::size) {
        x.result = link::kResultBadLength;
        return;
    }
    const auto bytes = x.request.first(Record::size);
    x.state.records.at(static_cast<std::uint16_t>(x.code - 1)).assign(bytes.begin(), bytes.end());
}

constexpr std::array kCommands{
    CommandEntry{kGetPlatformDefaults, get_record},
    CommandEntry{link::code_value(CommandCode::SET_PLATFORM_DEFAULTS),
                 set_record<records::PlatformDefaults>},
    CommandEntry{kGetRs232, get_record},
    CommandEntry{link::code_value(CommandCode::SET_RS232_CONFIG), set_record<records::Rs232Config>},
    CommandEntry{kGetRs485, get_record},
    CommandEntry{link::code_value(CommandCode::SET_RS485_CONFIG), set_record<records::Rs485Config>},
};

}  // namespace

std::span<const CommandEntry> platform_record_commands() {
    return kCommands;
}

void fill_platform_records(SensorState& state) {
    const auto store = [&state](std::uint16_t code, const auto& record) {
        state.records[code].assign(record.begin(), record.end());
    };
    store(kGetPlatformDefaults, records::encode(factory_platform_defaults()));
    store(kGetRs232, records::encode(factory_rs232_config(state.options.rs232_protocol)));
    store(kGetRs485, records::encode(factory_rs485_config()));
}

}  // namespace kelpira::virtual_sensor
