// Run control: START_STATE_MACHINE once GET_STATE_MACHINE_INFO shows a program, and
// STOP_STATE_MACHINE.
#include "views/run_control.hpp"

#include "link/operation_commands.hpp"

namespace kelpira::views {

bool start_sensor(link::SensorLink& link, common::Prompter& prompter, std::uint8_t state) {
    std::uint16_t states = 0;
    if (link::get_state_machine_info(link, states) != link::kResultSuccess) {
        prompter.message("Start", "Unable get state machine configuration from sensor");
        return false;
    }
    if (states == 0) {
        prompter.message("Start", "Sensor has no state machine loaded");
        return false;
    }
    const link::CommandResult result = link::start_state_machine(link, state);
    if (result == link::kResultSuccess) {
        return true;
    }
    prompter.message("Start", result == link::kResultLowVoltage
                                  ? "Voltage too low to run state machine"
                                  : "Failed to start state machine");
    return false;
}

bool stop_sensor(link::SensorLink& link, common::Prompter& prompter) {
    if (link::stop_state_machine(link) != link::kResultSuccess) {
        prompter.message("Stop", "Failed to stop state machine");
        return false;
    }
    return true;
}

}  // namespace kelpira::views
