// The ETI platform: a sentence exchange with checksums that follows the sensor's state.
#pragma once

#include <string>

#include "common/worker.hpp"
#include "host_platform/simulator_session.hpp"

namespace kelpira::host_platform {

// The body of the measurement request: "$CMD,1," then salinity x 100 and temperature x 1000
// (of the texts the form shows, truncated), min depth x 10, P1, P2, P3.
std::string eti_measure_body(const SimulatorSettings& sim);

// Asks for the sensor's state until it is known, then sets its clock, starts measurements and
// fetches each result, until stopped. Each sentence goes out on a line cleared of what waited
// there, and a reply that answers another command is passed over, so one late or overlong
// reply does not leave every later exchange one reply behind.
void run_eti_simulation(common::WorkerControl& control, const Session& session);

}  // namespace kelpira::host_platform
