// The live test's poller rounds and its thread.
#include "config/optics_test_poller.hpp"

#include <utility>
#include <vector>

#include "link/actuator_commands.hpp"
#include "link/operation_commands.hpp"
#include "records/live_sample.hpp"

namespace kelpira::config {

UnstoppedTests send_test_stops(link::SensorLink& link, bool pump) {
    UnstoppedTests unstopped;
    unstopped.optics = link::stop_optics_test(link) != link::kResultSuccess;
    if (pump) {
        unstopped.pump = link::stop_pump_test(link) != link::kResultSuccess;
    }
    unstopped.valves = link::stop_valves_test(link) != link::kResultSuccess;
    return unstopped;
}

std::string unstopped_text(const UnstoppedTests& unstopped) {
    std::vector<const char*> parts;
    for (const auto& [failed, name] :
         {std::pair{unstopped.optics, "optics"}, std::pair{unstopped.pump, "pump"},
          std::pair{unstopped.valves, "valves"}}) {
        if (failed) {
            parts.push_back(name);
        }
    }
    std::string text = "Unable to stop the ";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        text += i == 0 ? "" : (i + 1 == parts.size() ? " and " : ", ");
        text += parts[i];
    }
    return text + (parts.size() > 1 ? " tests" : " test");
}

TestPollReport poll_test(link::SensorLink& link, bool test_pump) {
    TestPollReport report;
    if (test_pump) {
        link::RecordBytes<link::kPumpTestStatusSize> status{};
        if (link::get_pump_test_status(link, status) == link::kResultSuccess && status[1] == 0 &&
            status[2] == 0) {
            report.unstopped = send_test_stops(link, false);
            report.pump_finished = true;
            return report;
        }
    }
    link::RecordBytes<link::kLiveStatusSize> live{};
    if (link::get_live_status(link, live) == link::kResultSuccess) {
        const records::LiveSample sample = records::decode_live_status(live).sample;
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
