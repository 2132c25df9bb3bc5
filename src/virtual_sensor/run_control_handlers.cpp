// Starting and stopping the emulated sensor's state machine: the sensor operates from the
// start state it is given until it is stopped.
#include "virtual_sensor/run_control_handlers.hpp"

#include <array>

#include "link/command_catalogue.hpp"
#include "records/chemistry_config.hpp"
#include "virtual_sensor/live_status.hpp"
#include "virtual_sensor/program_run.hpp"
#include "virtual_sensor/sensor_log.hpp"

namespace kelpira::virtual_sensor {

namespace {

using link::CommandCode;

void start_state_machine(Exchange& x) {
    if (x.request_length != link::request_length(CommandCode::START_STATE_MACHINE)) {
        x.result = link::kResultBadLength;
        return;
    }
    if (supply_mv(x.state, sample_counter(x.state, x.now)) < kLowSupplyMv) {
        log_line(x.state, kTaskMonitor, records::kSeverityError, "sm_start", 41,
                 "Supply voltage too low to start state machine");
        x.result = link::kResultLowVoltage;
        return;
    }
    const std::uint8_t start = x.request[0];
    if (!program_state(x.state, start)) {
        log_line(x.state, kTaskSampler, records::kSeverityError, "sm_start", 47,
                 "No state " + std::to_string(start) + " in the state machine");
        x.result = kResultBadValue;
        return;
    }
    stop_run(x.state, "State machine restarted by command");
    start_run(x.state, x.now, start);
}

void stop_state_machine(Exchange& x) {
    stop_run(x.state, "State machine stopped by command");
}

constexpr std::array kCommands{
    CommandEntry{link::code_value(CommandCode::START_STATE_MACHINE), start_state_machine},
    CommandEntry{link::code_value(CommandCode::STOP_STATE_MACHINE), stop_state_machine},
};

}  // namespace

std::span<const CommandEntry> run_control_commands() {
    return kCommands;
}

void start_at_power_up(SensorState& state, TimePoint now) {
    const auto config = records::decode_chemistry_config(
        state.records.at(link::code_value(CommandCode::GET_CHEMISTRY_CONFIG)));
    const std::uint8_t start = config.start_auto_deployment;
    if (start == records::kStateDisabled || !program_state(state, start) ||
        supply_mv(state, sample_counter(state, now)) < kLowSupplyMv) {
        return;
    }
    log_line(state, kTaskSampler, records::kSeverityInfo, "sm_autostart", 77,
             "Automatic deployment at power-up");
    start_run(state, now, start);
}

}  // namespace kelpira::virtual_sensor
