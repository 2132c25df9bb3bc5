// Starting and stopping the emulated sensor's state machine: the sensor operates from the
// start state it is given until it is stopped.
#include "virtual_sensor/run_control.hpp"

#include <array>

#include "link/command_catalogue.hpp"
#include "virtual_sensor/live_status.hpp"

namespace kelpira::virtual_sensor {

namespace {

using link::CommandCode;

void start_state_machine(Exchange& x) {
    if (x.request_length != link::request_length(CommandCode::START_STATE_MACHINE)) {
        x.result = link::kResultBadLength;
        return;
    }
    if (supply_mv(x.state, sample_counter(x.state, x.now)) < kLowSupplyMv) {
        x.result = link::kResultLowVoltage;
        return;
    }
    x.state.mode = app::kModeOperating;
    x.state.state_number = x.request[0];
    ++x.state.runs_started;
}

void stop_state_machine(Exchange& x) {
    x.state.mode = app::kModeIdle;
    x.state.state_number = 0;
}

constexpr std::array kCommands{
    CommandEntry{link::code_value(CommandCode::START_STATE_MACHINE), start_state_machine},
    CommandEntry{link::code_value(CommandCode::STOP_STATE_MACHINE), stop_state_machine},
};

}  // namespace

std::span<const CommandEntry> run_control_commands() {
    return kCommands;
}

}  // namespace kelpira::virtual_sensor
