// Starting the sensor's state machine at a start state and stopping it, with the messages
// the user sees when either fails.
#pragma once

#include <cstdint>

#include "common/prompter.hpp"
#include "link/sensor_link.hpp"

namespace kelpira::views {

// Checks that a program is loaded, then starts it at `state`. False after telling the user
// why ("Start"): the state count unreadable, no program, too low a supply, any other failure.
bool start_sensor(link::SensorLink& link, common::Prompter& prompter, std::uint8_t state);

// False after "Failed to stop state machine" ("Stop").
bool stop_sensor(link::SensorLink& link, common::Prompter& prompter);

}  // namespace kelpira::views
