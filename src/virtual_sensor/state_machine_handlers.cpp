// Reading and writing the emulated sensor's program one state at a time.
#include "virtual_sensor/state_machine_handlers.hpp"

#include <algorithm>
#include <array>

#include "common/bytes.hpp"
#include "link/command_catalogue.hpp"

namespace kelpira::virtual_sensor {

namespace {

using link::CommandCode;
using statemachine::StateRecord;

bool length_is(Exchange& x, CommandCode code) {
    if (x.request_length != link::request_length(code)) {
        x.result = link::kResultBadLength;
        return false;
    }
    return true;
}

// The index byte can name 255, which the program memory does not have.
bool index_fits(Exchange& x, std::uint8_t index) {
    if (index >= statemachine::kMaxStates) {
        x.result = kResultBadValue;
        return false;
    }
    return true;
}

void get_state_machine_info(Exchange& x) {
    if (!length_is(x, CommandCode::GET_STATE_MACHINE_INFO)) {
        return;
    }
    common::ByteWriter w(x.response);
    w.u16(x.state.program.state_count);
    x.response_length = 2;
}

void get_state_record(Exchange& x) {
    if (!length_is(x, CommandCode::GET_STATE_RECORD) || !index_fits(x, x.request[0])) {
        return;
    }
    const auto bytes = statemachine::encode(x.state.program.states[x.request[0]]);
    std::copy(bytes.begin(), bytes.end(), x.response.begin());
    x.response_length = static_cast<std::uint8_t>(StateRecord::size);
}

void set_state_record(Exchange& x) {
    const std::uint8_t index = x.request[0];
    if (!length_is(x, CommandCode::SET_STATE_RECORD) || !index_fits(x, index)) {
        return;
    }
    x.state.program.states[index] =
        statemachine::decode_state_record(x.request.subspan(2, StateRecord::size));
    if (x.request[1] == 1) {
        x.state.program.state_count = static_cast<std::uint16_t>(index + 1);
    }
}

constexpr std::array kCommands{
    CommandEntry{link::code_value(CommandCode::GET_STATE_MACHINE_INFO), get_state_machine_info},
    CommandEntry{link::code_value(CommandCode::GET_STATE_RECORD), get_state_record},
    CommandEntry{link::code_value(CommandCode::SET_STATE_RECORD), set_state_record},
};

}  // namespace

std::span<const CommandEntry> state_machine_commands() {
    return kCommands;
}

}  // namespace kelpira::virtual_sensor
