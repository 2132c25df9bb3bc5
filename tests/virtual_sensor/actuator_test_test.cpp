// The emulated sensor's live actuator test: factory defaults of the records, pump runs that
// end by themselves or run on, and photodiode inputs that follow the LEDs the optics test lit.
#include <gtest/gtest.h>

#include "common/bytes.hpp"
#include "link/actuator_commands.hpp"
#include "link/operation_commands.hpp"
#include "records/live_sample.hpp"
#include "records/optics_records.hpp"
#include "records/pump_valve_defaults.hpp"
#include "virtual_sensor/led_response.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

namespace kelpira::virtual_sensor {
namespace {

using namespace std::chrono_literals;

class ActuatorTestTest : public testing::SensorFixture {
  protected:
    // Bytes 1 and 2 of the pump status.
    std::pair<int, int> pump_status() {
        link::RecordBytes<link::kPumpTestStatusSize> s{};
        EXPECT_EQ(link::get_pump_test_status(link, s), 0);
        return {s[1], s[2]};
    }
    void start_pump(records::PumpValveDefaults p, bool continuously) {
        ASSERT_EQ(link::start_pump_test(link, records::encode(p), continuously ? 1 : 0), 0);
    }
    std::array<std::uint16_t, 8> channels() {
        link::RecordBytes<link::kLiveStatusSize> bytes{};
        EXPECT_EQ(link::get_live_status(link, bytes), 0);
        return records::decode_live_status(bytes).sample.channel;
    }
    void start_optics(const records::OpticsDefaults& o) {
        link::RecordBytes<link::kOpticsTestSize> payload{};
        const auto record = records::encode(o);
        std::copy(record.begin(), record.end(), payload.begin());
        ASSERT_EQ(link::start_optics_test(link, payload), 0);
    }
};

TEST_F(ActuatorTestTest, RecordsStartAsTheFactoryLeftThem) {
    start();
    link::RecordBytes<records::PumpValveDefaults::size> pump{};
    link::RecordBytes<records::OpticsDefaults::size> optics{};
    ASSERT_EQ(link::get_pump_valve_defaults(link, pump), 0);
    ASSERT_EQ(link::get_optics_defaults(link, optics), 0);
    // Inject at 250 mA, a step of 1000 µs, 8 microsteps, stop at the Hall sensors (2000 and
    // 2000), 3200 steps, a 30 s time-out, Hall power on, a valve spike of 50 ms.
    EXPECT_EQ(pump, (link::RecordBytes<25>{0x00, 0x00, 0xFA, 0x00, 0xE8, 0x03, 0x00, 0x00, 0x01,
                                           0x00, 0xD0, 0x07, 0xD0, 0x07, 0x80, 0x0C, 0x00, 0x00,
                                           0x1E, 0x00, 0x00, 0x00, 0x01, 0x32, 0x00}));
    // Photodiode power on, each LED at 20 mA.
    EXPECT_EQ(optics, (link::RecordBytes<11>{0x00, 0x01, 0x01, 0x20, 0x4E, 0x20, 0x4E, 0x20, 0x4E,
                                             0x20, 0x4E}));
}

TEST_F(ActuatorTestTest, PumpRunEndsAtItsStopCondition) {
    start();
    auto p = records::default_pump_valve_defaults();
    EXPECT_EQ(pump_status(), std::make_pair(0, 0)) << "nothing started";
    p.stop_condition = records::kStopTimeout;
    p.timeout_s = 5;
    p.direction = records::kPumpWithdraw;
    start_pump(p, false);
    EXPECT_EQ(pump_status(), std::make_pair(1, 1));
    fake_clock.advance(4999ms);
    EXPECT_EQ(pump_status().first, 1);
    fake_clock.advance(1ms);
    EXPECT_EQ(pump_status(), std::make_pair(0, 0));

    p.stop_condition = records::kStopStepCount;
    p.step_count = 2000;
    p.step_period_us = 1500;  // 3 s
    start_pump(p, false);
    fake_clock.advance(3s);
    EXPECT_EQ(pump_status().first, 0);

    p.stop_condition = records::kStopHallSensors;
    p.timeout_s = 60;
    start_pump(p, false);
    fake_clock.advance(19s);
    EXPECT_EQ(pump_status().first, 1);
    fake_clock.advance(1s);
    EXPECT_EQ(pump_status().first, 0) << "the Hall sensor ends a full stroke";
}

TEST_F(ActuatorTestTest, ContinuousPumpingRunsOnUntilStopped) {
    start();
    auto p = records::default_pump_valve_defaults();
    p.stop_condition = records::kStopTimeout;
    p.timeout_s = 10;
    start_pump(p, true);
    EXPECT_EQ(pump_status(), std::make_pair(1, 0));
    fake_clock.advance(15s);
    EXPECT_EQ(pump_status(), std::make_pair(1, 1)) << "the second stroke withdraws";
    ASSERT_EQ(link::stop_pump_test(link), 0);
    EXPECT_EQ(pump_status(), std::make_pair(0, 0));

    link::RecordBytes<26> short_request{};
    link::SensorCommand wrong =
        link::make_request(link::CommandCode::START_PUMP_TEST, short_request);
    wrong.set_length(25);
    EXPECT_EQ(send(wrong), link::kResultBadLength);
}

TEST_F(ActuatorTestTest, PhotodiodesFollowTheLitLeds) {
    start();
    const auto dark = channels();
    for (std::size_t c = 0; c < 4; ++c) {
        EXPECT_NEAR(dark[c], 157, 10) << "a powered photodiode in the dark";
    }
    records::OpticsDefaults o;
    o.photodiode_power = 1;
    o.led_current_ua = {40000, 0, 10000, 48000};
    start_optics(o);
    const auto lit = channels();
    EXPECT_NEAR(lit[0], volts_to_counts(0.012 + 0.095 * 40), 10);
    EXPECT_NEAR(lit[1], volts_to_counts(0.012 + 0.110 * 0.02 * 50), 10) << "crosstalk only";
    EXPECT_NEAR(lit[2], volts_to_counts(0.012 + 0.080 * (10 + 0.02 * 48)), 10);
    EXPECT_NEAR(lit[3], volts_to_counts(0.012 + 0.100 * (48 + 0.02 * 10)), 10);
    EXPECT_EQ(channels()[4], dark[4]) << "other inputs do not see the LEDs";

    o.photodiode_power = 0;
    start_optics(o);
    EXPECT_LT(channels()[0], 40) << "unpowered photodiodes";
    ASSERT_EQ(link::stop_optics_test(link), 0);
    EXPECT_NEAR(channels()[0], 157, 10);
    fake_clock.advance(1s);
    EXPECT_NE(channels()[0], dark[0]) << "a little noise from sample to sample";
}

TEST(LedResponse, SaturatesAtTheRailAndNoiseStaysSmall) {
    EXPECT_DOUBLE_EQ(photodiode_volts(1, {0, 48000, 0, 0}, true), 4.95);
    EXPECT_EQ(volts_to_counts(5.2), 65535);
    EXPECT_EQ(volts_to_counts(-1), 0);
    for (std::uint32_t k = 0; k < 1000; ++k) {
        EXPECT_LE(std::abs(noise_volts(k, k % 4)), 0.0005);
    }
}

}  // namespace
}  // namespace kelpira::virtual_sensor
