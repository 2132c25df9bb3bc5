// A virtual sensor served in-process, a real SensorLink to it, and a clock the test moves.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <memory>

#include "link/handler_hid.hpp"
#include "link/sensor_link.hpp"
#include "virtual_sensor/in_process_device.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

namespace kelpira::virtual_sensor::testing {

// 2026-12-08 10:00:00 UTC.
inline constexpr std::int64_t kStartSeconds = 1796724000;

// A clock that stands still until the test moves it; safe to read from the link's thread.
class FakeClock {
  public:
    SensorClock clock() {
        return [this] { return TimePoint(std::chrono::milliseconds(ms_.load())); };
    }
    void advance(std::chrono::milliseconds d) { ms_ += d.count(); }

  private:
    std::atomic<std::int64_t> ms_{kStartSeconds * 1000};
};

inline link::SensorCommand command(std::uint16_t code,
                                   std::initializer_list<std::uint8_t> payload = {}) {
    link::SensorCommand c;
    c.set_code(code);
    c.set_length(static_cast<std::uint8_t>(payload.size()));
    std::size_t i = 0;
    for (const auto b : payload) {
        c.payload()[i++] = b;
    }
    return c;
}

class SensorFixture : public ::testing::Test {
  protected:
    static constexpr auto kPath = "/virtual/sensor0";

    // Creates the sensor, serves it and opens the link with the given time-out.
    void start(VirtualSensorOptions options = {},
               std::chrono::milliseconds timeout = std::chrono::milliseconds(3000)) {
        sensor = std::make_unique<VirtualSensor>(std::move(options), fake_clock.clock());
        attach_in_process(backend, kPath, *sensor, [this] { ++arrivals; });
        ASSERT_EQ(link.Open(kPath, timeout), 0);
    }

    // One transaction that must reach the sensor; returns the sensor's result byte.
    link::CommandResult send(link::SensorCommand& c) {
        const auto rc = link.Transact(c);
        EXPECT_EQ(rc, link::kResultSuccess) << "no exchange for command " << c.code();
        return rc == link::kResultSuccess ? c.result() : link::kResultNoExchange;
    }

    FakeClock fake_clock;
    link::InProcessHidBackend backend;
    link::SensorLink link{backend};
    std::unique_ptr<VirtualSensor> sensor;
    std::atomic<int> arrivals{0};

    void TearDown() override { link.Close(); }
};

}  // namespace kelpira::virtual_sensor::testing
