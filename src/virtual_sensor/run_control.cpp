// Starting and stopping the emulated sensor's state machine: the sensor operates from the
// start state it is given until it is stopped.
#include "virtual_sensor/run_control.hpp"

#include <array>

#include "virtual_sensor/live_status.hpp"

namespace kelpira::virtual_sensor {

namespace {

constexpr std::uint16_t kStartStateMachine = 437;
constexpr std::uint16_t kStopStateMachine = 438;

void start_state_machine(Exchange& x) {
    if (x.request_length != 1) {
        x.result = link::kResultBadLength;
        return;
    }
    if (supply_mv(x.state, sample_counter(x.state, x.now)) < kLowSupplyMv) {
        x.result = link::kResultLowVoltage;
        return;
    }
    x.state.mode = kModeOperating;
    x.state.state_number = x.request[0];
    ++x.state.runs_started;
}

void stop_state_machine(Exchange& x) {
    x.state.mode = kModeIdle;
    x.state.state_number = 0;
}

constexpr std::array kCommands{
    CommandEntry{kStartStateMachine, start_state_machine},
    CommandEntry{kStopStateMachine, stop_state_machine},
};

}  // namespace

std::span<const CommandEntry> run_control_commands() {
    return kCommands;
}

}  // namespace kelpira::virtual_sensor
