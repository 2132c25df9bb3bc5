// Loading the state-machine program from the sensor and saving it to the sensor, one state
// record per command.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "link/sensor_link.hpp"
#include "statemachine/state_machine_image.hpp"

namespace kelpira::statemachine {

// What a transfer did: on failure `detail` says which command failed and how, for a
// terminal or a log; the editor shows its own fixed sentence.
struct TransferOutcome {
    bool ok = false;
    std::size_t states_done = 0;  // records read, or acknowledged, before the end or the failure
    std::string detail;
    link::CommandResult result = link::kResultSuccess;  // of the command that failed
};

// How much of a failed save the sensor holds: "3 of 12 states acknowledged; state 3 may also
// have been written (its answer was lost)".
std::string saved_states_text(const TransferOutcome& outcome, std::size_t state_count);

// Called after each record with (records done, records in all).
using TransferProgress = std::function<void(std::size_t, std::size_t)>;

// Replaces the image (states, last_index, current) with the sensor's program. A sensor with
// no states gives one default state. On failure, and when the sensor reports more states than
// one index byte can address (255), the image becomes one default state. Normalises; takes no
// snapshot (the editor does, on success).
TransferOutcome load_from_sensor(link::SensorLink& link, StateMachineImage& image,
                                 const TransferProgress& progress = {});

// Sends states 0..last_index in order, the last flag on the last one only; stops at the first
// state the sensor does not accept. What was sent stays on the sensor.
TransferOutcome save_to_sensor(link::SensorLink& link, const StateMachineImage& image,
                               const TransferProgress& progress = {});

}  // namespace kelpira::statemachine
