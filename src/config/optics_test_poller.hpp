// The poller of the live optics, valves and pump test: once a period it reads the pump's
// progress (when the pump is tested) and the analogue inputs, and hands each round's outcome
// to a sink on its own thread.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "common/worker.hpp"
#include "link/sensor_link.hpp"

namespace kelpira::config {

inline constexpr std::size_t kTestChannels = 8;

// The values the test shows: the eight analogue channels and the two Hall sensors.
struct TestValues {
    std::array<std::uint16_t, kTestChannels> channel{};
    std::array<std::uint16_t, 2> hall{};

    bool operator==(const TestValues&) const = default;
};

// The parts of the live test the sensor did not confirm as stopped.
struct UnstoppedTests {
    bool optics = false;
    bool pump = false;
    bool valves = false;

    bool any() const { return optics || pump || valves; }
    bool operator==(const UnstoppedTests&) const = default;
};

// Sends STOP_OPTICS_TEST, then (when `pump`) STOP_PUMP_TEST, then STOP_VALVES_TEST, each
// whatever became of the ones before: one refused stop must not leave the others running.
UnstoppedTests send_test_stops(link::SensorLink& link, bool pump = true);

// "Unable to stop the optics and valves tests": the parts named in that order.
std::string unstopped_text(const UnstoppedTests& unstopped);

// The outcome of one poll round.
struct TestPollReport {
    std::uint64_t run = 0;  // the test run the round belongs to
    // The pump run ended by itself: the optics and valves tests have been sent their stops
    // (`unstopped` names those the sensor did not confirm) and the poller has ended.
    bool pump_finished = false;
    UnstoppedTests unstopped;
    std::optional<TestValues> values;  // none when the live status could not be read

    bool operator==(const TestPollReport&) const = default;
};

// One round: with the pump tested, GET_PUMP_TEST_STATUS first; a pump that has stopped
// (bytes 1 and 2 both 0) ends the test with STOP_OPTICS_TEST and STOP_VALVES_TEST. Otherwise
// GET_LIVE_STATUS.
TestPollReport poll_test(link::SensorLink& link, bool test_pump);

class OpticsTestPoller {
  public:
    using Sink = std::function<void(const TestPollReport&)>;  // called on the poller's thread

    static constexpr std::chrono::milliseconds kStopWait{3000};

    // Starts polling at once: a round after each `period`, until stopped or the pump run ends.
    // The link must outlive the thread (it is the program's one link).
    OpticsTestPoller(link::SensorLink& link, bool test_pump, std::uint64_t run, Sink sink,
                     std::chrono::milliseconds period);

    // Tells the poller to stop and waits for it at most 3000 ms. True when it has ended.
    bool stop() { return worker_.stop(kStopWait); }

  private:
    common::Worker worker_;
};

}  // namespace kelpira::config
