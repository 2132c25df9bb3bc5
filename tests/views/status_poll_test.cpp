// The status poll against a scripted sensor: what each cycle reports and stores, the ring,
// the status bar texts, and the poll thread's start and stop, also with a blocked link.
#include "views/status_poll.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <set>
#include <thread>

#include "link/handler_hid.hpp"
#include "views/status_display.hpp"

using namespace kelpira;
using namespace kelpira::views;
using namespace kelpira::records;
using namespace std::chrono_literals;

namespace {

constexpr auto kPath = "/dev/virtual/poll";

// Every field derives from the counter, so a copy that mixes two samples shows.
LiveSample sample_for(std::uint32_t counter) {
    LiveSample s;
    s.counter = counter;
    s.sensor_time = counter * 3;
    s.temperature_mc = static_cast<std::int32_t>(counter);
    for (auto& c : s.channel) {
        c = static_cast<std::uint16_t>(counter);
    }
    s.platform_time = counter;
    return s;
}

bool consistent(const LiveSample& s) {
    return s.sensor_time == s.counter * 3 && s.platform_time == s.counter &&
           s.channel[7] == static_cast<std::uint16_t>(s.counter) &&
           s.temperature_mc == static_cast<std::int32_t>(s.counter);
}

// Answers the poll's commands from what the test set; a code in `silent` gets no answer.
struct ScriptedSensor {
    std::mutex m;
    std::uint8_t live_result = 0;
    LiveStatus live;
    bool advance_counter = false;  // each GET_LIVE_STATUS answers the next counter
    std::uint8_t power_result = 0;
    PowerStatus power;
    PlatformState platform;
    std::uint8_t file_result = 0;
    std::array<std::uint8_t, 13> file_name{};
    std::set<std::uint16_t> silent;
    std::vector<std::uint16_t> received;
    std::promise<void> first_request;
    bool first_request_set = false;

    std::vector<link::InProcessReport> handle(const link::Report& req) {
        std::lock_guard lk(m);
        const auto code = static_cast<std::uint16_t>(req[1] | (req[2] << 8));
        received.push_back(code);
        if (!first_request_set) {
            first_request_set = true;
            first_request.set_value();
        }
        if (silent.count(code) != 0) {
            return {};
        }
        link::InProcessReport out;
        out.bytes = req;
        out.bytes[4] = 0;
        auto put = [&](const auto& bytes) {
            std::copy(bytes.begin(), bytes.end(), out.bytes.begin() + link::kPayloadOffset);
        };
        switch (code) {
            case 295:
                out.bytes[4] = power_result;
                put(encode(power));
                break;
            case 418:
                if (advance_counter) {
                    live.sample = sample_for(live.sample.counter + 1);
                }
                out.bytes[4] = live_result;
                put(encode(live));
                break;
            case 444:
                put(encode(platform));
                break;
            case 422:
                out.bytes[4] = file_result;
                put(file_name);
                break;
            default:
                out.bytes[4] = 9;
        }
        return {out};
    }
    std::vector<std::uint16_t> codes() {
        std::lock_guard lk(m);
        return received;
    }
};

struct Reports {
    std::mutex m;
    std::vector<std::pair<bool, PowerStatus>> link;
    std::vector<SensorMode> modes;

    StatusReports callbacks() {
        return {[this](bool answered, const PowerStatus& p) {
                    std::lock_guard lk(m);
                    link.emplace_back(answered, p);
                },
                [this](SensorMode mode) {
                    std::lock_guard lk(m);
                    modes.push_back(mode);
                }};
    }
    std::size_t total() {
        std::lock_guard lk(m);
        return link.size() + modes.size();
    }
};

struct PollFixture : ::testing::Test {
    ScriptedSensor sensor;
    link::InProcessHidBackend backend;
    link::SensorLink link{backend};
    Reports reports;
    PollData data;
    PollCycleState state;

    void SetUp() override {
        backend.add(kPath, "VID_04D8&PID_EABC",
                    [this](const link::Report& r) { return sensor.handle(r); });
        ASSERT_EQ(link.Open(kPath, 3000ms), 0);
    }
    void cycle() {
        run_poll_cycle(link, data, state, reports.callbacks(), [] { return false; });
    }
    void answer(std::uint8_t result, SensorMode mode, std::uint32_t counter) {
        std::lock_guard lk(sensor.m);
        sensor.live_result = result;
        sensor.live.mode = mode;
        sensor.live.sample = sample_for(counter);
    }
};

}  // namespace

TEST_F(PollFixture, CycleSendsThreeCommandsReportsAndStores) {
    sensor.power.supply_mv = 12100;
    sensor.power.temperature_mc = 15250;
    sensor.platform.depth = 12.5f;
    sensor.platform.p3 = -4;
    answer(0, kModeOperating, 41);
    cycle();
    EXPECT_EQ(sensor.codes(), (std::vector<std::uint16_t>{295, 418, 444}));
    ASSERT_EQ(reports.link.size(), 1u);
    EXPECT_TRUE(reports.link[0].first);
    EXPECT_EQ(reports.link[0].second.supply_mv, 12100);
    EXPECT_EQ(reports.modes, std::vector<SensorMode>{kModeOperating});
    EXPECT_EQ(data.power_status().temperature_mc, 15250);
    EXPECT_EQ(data.platform_state().depth, 12.5f);
    EXPECT_EQ(data.platform_state().p3, -4);
    ASSERT_EQ(data.history.count(), 1u);
    EXPECT_EQ(data.history.newest(0), sample_for(41));
}

TEST_F(PollFixture, LowVoltageReportsModeAndLinkButStoresNoSample) {
    answer(6, kModeIdle, 7);
    cycle();
    ASSERT_EQ(reports.link.size(), 1u);
    EXPECT_TRUE(reports.link[0].first);
    EXPECT_EQ(reports.modes, std::vector<SensorMode>{kModeIdle});
    EXPECT_EQ(data.history.count(), 0u);
}

TEST_F(PollFixture, RepeatedCounterIsStoredOnce) {
    answer(0, kModeOperating, 5);
    cycle();
    cycle();
    EXPECT_EQ(data.history.count(), 1u);
    answer(0, kModeOperating, 6);
    cycle();
    EXPECT_EQ(data.history.count(), 2u);
    EXPECT_EQ(reports.modes.size(), 3u) << "every cycle reports the mode";
}

TEST_F(PollFixture, FirstSampleIsStoredWhateverItsCounter) {
    answer(0, kModeOperating, 0);
    cycle();
    EXPECT_EQ(data.history.count(), 1u) << "counter 0 is a sample like any other";
}

TEST_F(PollFixture, TransportFailureReportsLinkErrorAndNoMode) {
    answer(0, kModeOperating, 5);
    link.Close();
    cycle();
    ASSERT_EQ(reports.link.size(), 1u);
    EXPECT_FALSE(reports.link[0].first);
    EXPECT_TRUE(reports.modes.empty());
    EXPECT_EQ(data.history.count(), 0u);
    EXPECT_EQ(data.power_status(), PowerStatus{});
    EXPECT_EQ(data.platform_state(), PlatformState{});
}

TEST_F(PollFixture, NoAnswerToLiveStatusIsALinkError) {
    link.Close();
    ASSERT_EQ(link.Open(kPath, 100ms), 0);
    sensor.power.supply_mv = 11900;
    sensor.silent.insert(418);
    cycle();
    ASSERT_EQ(reports.link.size(), 1u);
    EXPECT_FALSE(reports.link[0].first);
    EXPECT_TRUE(reports.modes.empty());
    EXPECT_EQ(data.power_status().supply_mv, 11900) << "the power status of this cycle stays";
}

TEST_F(PollFixture, OtherSensorResultsReportNothing) {
    answer(9, kModeOperating, 5);
    cycle();
    EXPECT_EQ(reports.total(), 0u);
    EXPECT_EQ(data.history.count(), 0u);
}

TEST_F(PollFixture, FailedPowerStatusIsZeroed) {
    sensor.power.supply_mv = 12000;
    answer(0, kModeIdle, 1);
    cycle();
    EXPECT_EQ(data.power_status().supply_mv, 12000);
    sensor.power_result = 9;
    cycle();
    EXPECT_EQ(data.power_status(), PowerStatus{});
    EXPECT_EQ(reports.link.back().second, PowerStatus{});
}

TEST(LiveHistoryRing, KeepsTheNewest3600) {
    LiveHistory h;
    for (std::uint32_t c = 1; c <= 3601; ++c) {
        h.append(sample_for(c));
    }
    EXPECT_EQ(h.count(), 3600u);
    EXPECT_EQ(h.start(), 1u);
    EXPECT_EQ(h.newest(0)->counter, 3601u);
    EXPECT_EQ(h.newest(3599)->counter, 2u) << "the first sample was overwritten";
    EXPECT_FALSE(h.newest(3600));

    const auto last3 = h.newest_samples(3);
    ASSERT_EQ(last3.size(), 3u);
    EXPECT_EQ(last3[0].counter, 3599u);
    EXPECT_EQ(last3[2].counter, 3601u);
    EXPECT_EQ(h.newest_samples(5000).size(), 3600u);

    h.clear();
    EXPECT_EQ(h.count(), 0u);
    EXPECT_EQ(h.start(), 0u);
    EXPECT_FALSE(h.newest(0));
    h.append(sample_for(9));
    EXPECT_EQ(h.newest(0)->counter, 9u);
}

TEST_F(PollFixture, ReadersNeverSeeAMixedSample) {
    sensor.advance_counter = true;
    answer(0, kModeOperating, 0);
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    auto reader = [&] {
        while (!done.load()) {
            if (auto s = data.history.newest(0); s && !consistent(*s)) {
                ++torn;
            }
            for (const auto& s : data.history.newest_samples(50)) {
                if (!consistent(s)) {
                    ++torn;
                }
            }
        }
    };
    std::thread r1(reader);
    std::thread r2(reader);
    std::thread clearer([&] {
        for (int i = 0; i < 20 && !done.load(); ++i) {
            data.history.clear();
            std::this_thread::yield();
        }
    });
    for (int i = 0; i < 300; ++i) {
        cycle();
    }
    done.store(true);
    r1.join();
    r2.join();
    clearer.join();
    EXPECT_EQ(torn.load(), 0);
    cycle();
    EXPECT_GT(data.history.count(), 0u) << "appending goes on after a clear";
}

TEST_F(PollFixture, PollThreadFillsTheHistoryAndStops) {
    answer(0, kModeOperating, 77);
    StatusPoll poll(link);
    EXPECT_FALSE(poll.running());
    EXPECT_EQ(poll.history(), nullptr);
    poll.poll_start(reports.callbacks());
    EXPECT_TRUE(poll.running());
    auto history = poll.history();
    ASSERT_NE(history, nullptr);
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (history->count() == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    EXPECT_EQ(history->newest(0), sample_for(77));

    poll.clear_history();
    EXPECT_EQ(history->count(), 0u);
    link.Close();  // as the main window does before stopping the poll
    poll.poll_stop();
    EXPECT_FALSE(poll.running());
    EXPECT_EQ(poll.history(), nullptr);
    EXPECT_EQ(history->count(), 0u) << "a reader still holding it sees it emptied, not freed";
    poll.poll_stop();  // harmless twice
}

TEST_F(PollFixture, StoppingWhileATransactionIsBlocked) {
    {
        std::lock_guard lk(sensor.m);
        sensor.silent = {295, 418, 444};
    }
    auto first = sensor.first_request.get_future();
    {
        StatusPoll poll(link);
        poll.poll_start(reports.callbacks());
        first.wait();  // the poll thread now waits for an answer that never comes
        poll.poll_stop();
        EXPECT_FALSE(poll.running());
        EXPECT_EQ(poll.history(), nullptr);
        // A new start does not wait for the old thread either.
        poll.poll_start(reports.callbacks());
        EXPECT_TRUE(poll.running());
        link.Close();
        poll.poll_stop();
    }  // the destructor waits for every thread, which ends with the closed link
    for (const auto& [answered, power] : reports.link) {
        EXPECT_FALSE(answered);
    }
    EXPECT_TRUE(reports.modes.empty());
}

TEST(StatusTexts, LinkHealthAndSupply) {
    PowerStatus p;
    p.supply_mv = 12149;
    p.temperature_mc = -1250;
    const auto ok = link_status_texts(true, p);
    EXPECT_EQ(ok.health, "\tUSB Comms OK");
    EXPECT_EQ(ok.supply, "\t12.1V/-1.2\u00B0C");
    const auto bad = link_status_texts(false, p);
    EXPECT_EQ(bad.health, "\tUSB Comms Error");
    EXPECT_EQ(bad.supply, "");
}

TEST(StatusTexts, SensorModes) {
    EXPECT_EQ(sensor_mode_text(0), "\tSensor Mode: Operating");
    EXPECT_EQ(sensor_mode_text(1), "\tSensor Mode: Sleeping");
    EXPECT_EQ(sensor_mode_text(2), "\tSensor Mode: Idle");
    EXPECT_EQ(sensor_mode_text(3), "\tSensor Mode: Hibernating");
    EXPECT_EQ(sensor_mode_text(7), "\tSensor Mode: Unknown (7)");
    EXPECT_EQ(sensor_mode_text(255), "\tSensor Mode: Unknown (255)");
}

TEST_F(PollFixture, OutputFileIsAskedOnlyWhileOperatingOrSleeping) {
    const std::string full = "ABCDEFGH.CSVX";  // 13 bytes, no terminator
    std::copy(full.begin(), full.end(), sensor.file_name.begin());
    EXPECT_EQ(mode_texts(link, kModeOperating).output_file, "\tFile: ABCDEFGH.CSV");
    EXPECT_EQ(mode_texts(link, kModeSleeping).mode, "\tSensor Mode: Sleeping");
    EXPECT_EQ(sensor.codes(), (std::vector<std::uint16_t>{422, 422}));

    const auto idle = mode_texts(link, kModeIdle);
    EXPECT_EQ(idle.mode, "\tSensor Mode: Idle");
    EXPECT_EQ(idle.output_file, "");
    EXPECT_EQ(mode_texts(link, kModeHibernating).output_file, "");
    EXPECT_EQ(mode_texts(link, 7).output_file, "");
    EXPECT_EQ(sensor.codes().size(), 2u) << "no query outside operating and sleeping";

    sensor.file_result = 3;
    EXPECT_EQ(mode_texts(link, kModeOperating).output_file, "");
    link.Close();
    EXPECT_EQ(mode_texts(link, kModeOperating).output_file, "");
}
