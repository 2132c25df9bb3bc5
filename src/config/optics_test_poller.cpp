// The live test's poller rounds and its thread.
#include "config/optics_test_poller.hpp"

#include <utility>

#include "records/live_sample.hpp"
#include "link/actuator_commands.hpp"
#include "link/operation_commands.hpp"

namespace kelpira::config {

TestPollReport poll_test(link::SensorLink& link, bool test_pump) {
    TestPollReport report;
    if (test_pump) {
        link::RecordBytes<link::kPumpTestStatusSize> status{};
        if (link::get_pump_test_status(link, status) == link::kResultSuccess && status[1] == 0 &&
            status[2] == 0) {
            link::stop_optics_test(link);
            link::stop_valves_test(link);
            report.pump_finished = true;
            return report;
        }
    }
    link::RecordBytes<link::kLiveStatusSize> live{};
    if (link::get_live_status(link, live) == link::kResultSuccess) {
        const app::LiveSample sample = app::decode_live_status(live).sample;
        report.values = TestValues{sample.channel, {sample.hall_i, sample.hall_w}};
    }
    return report;
}

OpticsTestPoller::OpticsTestPoller(link::SensorLink& link, bool test_pump, std::uint64_t run,
                                   Sink sink, std::chrono::milliseconds period)
    : worker_([link = &link, test_pump, run, sink = std::move(sink),
               period](common::WorkerControl& control) {
          while (!control.wait(period)) {
              TestPollReport report = poll_test(*link, test_pump);
              report.run = run;
              sink(report);
              if (report.pump_finished) {
                  return;
              }
          }
      }) {}

}  // namespace kelpira::config
