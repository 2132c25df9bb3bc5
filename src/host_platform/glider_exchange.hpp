// The Seaglider and BRIDGES platforms: clock, start, status sentences with a simulated dive,
// sample requests on a second thread, and the download of stored results.
#pragma once

#include <cstdint>
#include <string>

#include "common/worker.hpp"
#include "host_platform/simulator_session.hpp"

namespace kelpira::host_platform {

// The simulated dive: depth in centimetres and whether the platform climbs.
struct DiveModel {
    std::int64_t depth_cm = 0;
    bool climbing = false;
};

// Before the first step: diving, one step above the min depth.
DiveModel first_dive_state(const SimulatorSettings& sim);

// One update interval on: the depth the status sentence carries. Turns at the max depth (the
// step that would pass it stays where it is and climbs) and at the min depth.
DiveModel next_dive_state(const DiveModel& now, const SimulatorSettings& sim);

// "status=%c,%.2f,%d,%d,%d\r" for a state.
std::string status_sentence(const DiveModel& state, const SimulatorSettings& sim);

// Clock, start, then a status sentence every update interval until stopped; with Enable
// Sampling a second thread asks for a sample every sample interval.
void run_glider_simulation(common::WorkerControl& control, const Session& session);

// The status line at the end of a download: how many results came and how it ended. The
// sensor sends no end mark, so a download ends at its first silence; a line that failed
// (ReadStatus::failed, too_long) stopped it early.
std::string download_end_text(std::size_t results, ReadStatus ended);

// Asks for the stored results and lists them until the sensor falls silent or the line fails,
// then shows download_end_text() and reports download_finished (unless stopped).
void run_glider_download(common::WorkerControl& control, const Session& session);

}  // namespace kelpira::host_platform
