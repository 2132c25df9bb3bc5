// Wiping what the sensor stores for a view (its processed results, its diagnostics log):
// asked first, and never while the view's worker reads.
#pragma once

#include <functional>

#include "common/prompter.hpp"
#include "link/sensor_link.hpp"

namespace kelpira::app {

enum class SensorStore { ProcessedOutput, Diagnostics };

// What the view does around the wipe, on the UI thread.
struct ClearSteps {
    std::function<void()> stop_worker;   // waits at most 100 ms
    std::function<void()> empty_list;    // the wipe succeeded
    std::function<void()> start_worker;  // after the wipe, whatever its outcome
};

// Asks "This will permanently wipe ..." ("Clear"); anything but Yes sends nothing. Otherwise
// stops the worker, sends CLEAR_OUTPUTS or CLEAR_DIAGNOSTICS, empties the list or tells the
// user it could not, and starts the worker again.
void clear_sensor_store(link::SensorLink& link, common::Prompter& prompter, SensorStore store,
                        const ClearSteps& steps);

}  // namespace kelpira::app
