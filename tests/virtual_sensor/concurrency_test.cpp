// Several threads at one emulated sensor at once (two links' worth of hosts, tests reading
// the log, faults being scripted): every command is answered and logged exactly once, and
// the log keeps the newest commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "virtual_sensor/sensor_fixture.hpp"

using namespace kelpira;
using namespace kelpira::virtual_sensor;
using namespace kelpira::virtual_sensor::testing;

TEST(VirtualSensorThreads, ConcurrentRequestsAreEachAnsweredAndLoggedOnce) {
    FakeClock clock;
    VirtualSensor sensor({}, clock.clock());
    constexpr int kThreads = 4;
    constexpr int kPerThread = 500;
    const std::uint16_t codes[kThreads] = {418, 295, 401, 260};
    std::vector<int> answered(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kPerThread; ++i) {
                auto c = command(codes[t]);
                if (codes[t] == 401) {
                    c.set_length(18);
                    c.payload()[1] = 1;
                }
                c.bytes[3] = static_cast<std::uint8_t>(i);
                const auto out = sensor.handle(c.bytes);
                if (out.size() == 1 && out[0].bytes[3] == c.bytes[3] &&
                    out[0].bytes[1] == c.bytes[1]) {
                    ++answered[t];
                }
            }
        });
    }
    threads.emplace_back([&] {
        for (int i = 0; i < 200; ++i) {
            clock.advance(std::chrono::milliseconds(50));
            (void)sensor.log();
            sensor.inject(999, {FaultKind::no_answer}, 1);
        }
    });
    for (auto& th : threads) {
        th.join();
    }
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(answered[t], kPerThread) << codes[t];
    }
    const auto log = sensor.logged_codes();
    EXPECT_EQ(log.size(), static_cast<std::size_t>(kThreads * kPerThread));
    for (const auto code : codes) {
        EXPECT_EQ(std::count(log.begin(), log.end(), code), kPerThread);
    }
}

TEST(VirtualSensorLog, KeepsTheNewestCommandsOnly) {
    FakeClock clock;
    VirtualSensor sensor({}, clock.clock());
    for (std::size_t i = 0; i <= VirtualSensor::kLogCapacity; ++i) {
        auto c = command(i == 0 ? std::uint16_t{262} : std::uint16_t{418});
        (void)sensor.handle(c.bytes);
    }
    const auto codes = sensor.logged_codes();
    EXPECT_EQ(codes.size(), VirtualSensor::kLogCapacity);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 262), 0) << "the oldest went first";
}
