// The processed output graph's worker: it reads the sensor's stored results and hands them
// to the graph, one burst at a time.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "common/worker.hpp"
#include "link/sensor_link.hpp"
#include "records/output_record.hpp"

namespace kelpira::graph {

// Both are called on the worker thread and must not block on the UI thread.
struct ProcGraphSink {
    // One burst, in reading order.
    std::function<void(std::vector<records::OutputRecord>)> add_points;
    std::function<void()> refresh;  // after every wait
};

inline constexpr std::chrono::milliseconds kProcGraphPeriod{1000};

// The worker's body: OPEN_OUTPUT_STREAM, ending at once when it fails; then until stopped,
// READ_OUTPUT_RECORD until one fails, the burst goes to the graph, a wait of the period,
// and a refresh; the burst that finds the sensor removed is the last.
void run_proc_graph_feed(link::SensorLink& link, common::WorkerControl& control,
                         const ProcGraphSink& sink);

}  // namespace kelpira::graph
