// The processed output graph's worker: it reads the sensor's stored results and hands them
// to the graph as points (platform time, value), one burst at a time.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "common/worker.hpp"
#include "link/sensor_link.hpp"

namespace kelpira::graph {

struct TimedValue {
    std::uint32_t time = 0;  // the record's platform time
    double value = 0;
};

// Both are called on the worker thread and must not block on the UI thread.
struct ProcGraphSink {
    std::function<void(std::vector<TimedValue>)> add_points;  // one burst, in reading order
    std::function<void()> refresh;                            // after every wait
};

inline constexpr std::chrono::milliseconds kProcGraphPeriod{1000};

// The worker's body: OPEN_OUTPUT_STREAM, ending at once when it fails; then until stopped,
// READ_OUTPUT_RECORD until one fails, the burst goes to the graph, a wait of the period,
// and a refresh; the burst that finds the sensor removed is the last.
void run_proc_graph_feed(link::SensorLink& link, common::WorkerControl& control,
                         const ProcGraphSink& sink);

}  // namespace kelpira::graph
