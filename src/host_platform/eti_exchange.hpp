// The ETI platform: a sentence exchange with checksums that follows the sensor's state.
#pragma once

#include <string>

#include "common/worker.hpp"
#include "host_platform/simulator_session.hpp"

namespace kelpira::simulator {

// The body of the measurement request: "$CMD,1," then salinity x 100 and temperature x 1000
// (of the texts the form shows, truncated), min depth x 10, P1, P2, P3.
std::string eti_measure_body(const SimulatorSettings& sim);

// Asks for the sensor's state until it is known, then sets its clock, starts measurements and
// fetches each result, until stopped.
void run_eti_simulation(common::WorkerControl& control, const Session& session);

}  // namespace kelpira::simulator
