// The FRAM and NVRAM commands of the emulated sensor.
#include "virtual_sensor/factory_stores.hpp"

#include <algorithm>

#include "common/bytes.hpp"
#include "link/command_catalogue.hpp"

namespace kelpira::virtual_sensor {

namespace {

using link::CommandCode;

constexpr std::uint16_t kGetFram = link::code_value(CommandCode::GET_FRAM_SETTINGS);
constexpr std::uint16_t kGetNvram = link::code_value(CommandCode::GET_NVRAM_SETTINGS);

constexpr std::uint32_t kFactoryStrokes = 18250;
constexpr std::uint8_t kFactoryDriverSerial = 17;

bool has_nvram(const SensorState& s) {
    return s.options.board_variant == 6 || s.options.board_variant == 3;
}

void get_record(Exchange& x, std::uint16_t get_code) {
    const auto& record = x.state.records.at(get_code);
    std::copy(record.begin(), record.end(), x.response.begin());
    x.response_length = static_cast<std::uint8_t>(record.size());
}

void set_record(Exchange& x, std::uint16_t get_code) {
    auto& record = x.state.records.at(get_code);
    if (x.request_length != record.size()) {
        x.result = link::kResultBadLength;
        return;
    }
    std::copy_n(x.request.begin(), record.size(), record.begin());
}

void get_fram(Exchange& x) {
    get_record(x, kGetFram);
}

void set_fram(Exchange& x) {
    set_record(x, kGetFram);
}

// A driver board without the NVRAM has nothing to read or write.
void get_nvram(Exchange& x) {
    if (!has_nvram(x.state)) {
        x.result = kResultBadValue;
        return;
    }
    get_record(x, kGetNvram);
}

void set_nvram(Exchange& x) {
    if (!has_nvram(x.state)) {
        x.result = kResultBadValue;
        return;
    }
    set_record(x, kGetNvram);
}

constexpr std::array kCommands{
    CommandEntry{kGetFram, get_fram},
    CommandEntry{link::code_value(CommandCode::SET_FRAM_SETTINGS), set_fram},
    CommandEntry{kGetNvram, get_nvram},
    CommandEntry{link::code_value(CommandCode::SET_NVRAM_SETTINGS), set_nvram},
};

}  // namespace

std::span<const CommandEntry> factory_store_commands() {
    return kCommands;
}

void fill_factory_defaults(SensorState& state) {
    auto& fram = state.records[kGetFram];
    fram.assign(link::response_length(CommandCode::GET_FRAM_SETTINGS), 0);
    common::ByteWriter f(fram);
    f.u8(2);  // layout
    f.u8(static_cast<std::uint8_t>(state.options.board_serial_number));
    f.zeros(3);
    f.u32(kFactoryStrokes);

    auto& nvram = state.records[kGetNvram];
    nvram.assign(link::response_length(CommandCode::GET_NVRAM_SETTINGS), 0);
    nvram[1] = kFactoryDriverSerial;
}

}  // namespace kelpira::virtual_sensor
