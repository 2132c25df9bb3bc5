// The processed output graph's reading loop.
#include "graph/proc_graph_feed.hpp"

#include "link/operation_commands.hpp"

namespace kelpira::graph {

namespace {

constexpr std::size_t kLargestBurst = 1000;

}  // namespace

void run_proc_graph_feed(link::SensorLink& link, common::WorkerControl& control,
                         const ProcGraphSink& sink) {
    if (link::open_output_stream(link) != 0) {
        return;
    }
    while (!control.stop_requested()) {
        std::vector<records::OutputRecord> burst;
        link::RecordBytes<link::kOutputRecordSize> bytes{};
        while (!control.stop_requested() && link::read_output_record(link, bytes) == 0) {
            burst.push_back(records::decode_output_record(bytes));
            // A sensor holding many records shows them as they come, not after the last.
            if (burst.size() >= kLargestBurst) {
                sink.add_points(std::move(burst));
                burst.clear();
            }
        }
        if (!burst.empty()) {
            sink.add_points(std::move(burst));
        }
        // A sensor removed from the link will not answer it again.
        if (link.loss() == link::LinkLoss::removed || control.wait(kProcGraphPeriod)) {
            return;
        }
        sink.refresh();
    }
}

}  // namespace kelpira::graph
