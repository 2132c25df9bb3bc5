// Wiping what the sensor stores for a view (its processed results, its diagnostics log):
// asked first, and never while the view's worker reads.
#pragma once

#include <cstddef>
#include <functional>

#include "common/prompter.hpp"
#include "link/sensor_link.hpp"

namespace kelpira::views {

enum class SensorStore { ProcessedOutput, Diagnostics };

// What the view does around the wipe, on the UI thread.
struct ClearSteps {
    std::function<void()> stop_worker;   // waits at most 100 ms
    std::function<void()> empty_list;    // the wipe succeeded
    std::function<void()> start_worker;  // after the wipe, whatever its outcome
};

// Asks "This will permanently wipe ..." ("Clear"), adding when `unlisted` rows have left the
// capped list that Save cannot keep them; anything but Yes sends nothing. Otherwise stops the
// worker, sends CLEAR_OUTPUTS or CLEAR_DIAGNOSTICS, empties the list or tells the user it
// could not, and starts the worker again.
void clear_sensor_store(link::SensorLink& link, common::Prompter& prompter, SensorStore store,
                        std::size_t unlisted, const ClearSteps& steps);

}  // namespace kelpira::views
