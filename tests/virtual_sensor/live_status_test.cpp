// Live status of the emulated sensor over a real link: the counter follows the clock, values
// stay plausible and change, run control switches the mode and the output file name.
#include <gtest/gtest.h>

#include <string>

#include "common/bytes.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

using namespace kelpira;
using namespace kelpira::virtual_sensor;
using namespace kelpira::virtual_sensor::testing;
using namespace std::chrono_literals;

namespace {

struct Live {
    std::uint8_t mode;
    std::uint32_t counter, sensor_time;
    std::uint8_t state;
    std::int32_t temperature_mc, voltage_mv;
    std::array<std::uint16_t, 8> channel;
    float depth;
    std::uint32_t platform_time;
};

class LiveStatusTest : public SensorFixture {
  protected:
    Live live() {
        auto c = command(418);
        EXPECT_EQ(send(c), 0);
        common::ByteReader r(c.payload());
        Live l{};
        l.mode = r.u8();
        EXPECT_EQ(r.u8(), 1) << "platform values valid";
        l.counter = r.u32();
        l.sensor_time = r.u32();
        l.state = r.u8();
        l.temperature_mc = r.i32();
        l.voltage_mv = r.i32();
        for (auto& ch : l.channel) {
            ch = r.u16();
        }
        r.skip(4 + 12);  // Hall readings, salinity, temperature, oxygen
        l.depth = r.f32();
        l.platform_time = r.u32();
        EXPECT_EQ(r.position(), 59u);
        return l;
    }
    std::string file_name() {
        auto c = command(422);
        EXPECT_EQ(send(c), 0);
        common::ByteReader r(c.payload());
        return r.text(13);
    }
};

}  // namespace

TEST_F(LiveStatusTest, CounterAdvancesOncePerSecondOfTheClock) {
    start();
    const auto first = live();
    EXPECT_EQ(first.counter, 0u);
    EXPECT_EQ(first.sensor_time, kStartSeconds);
    EXPECT_EQ(first.platform_time, kStartSeconds);
    EXPECT_EQ(first.mode, kModeIdle);

    fake_clock.advance(999ms);
    EXPECT_EQ(live().counter, 0u) << "no sample is owed yet";
    fake_clock.advance(1ms);
    EXPECT_EQ(live().counter, 1u);
    EXPECT_EQ(live().counter, 1u) << "asking twice in a second gives the same sample";
    fake_clock.advance(3600s);
    const auto later = live();
    EXPECT_EQ(later.counter, 3601u);
    EXPECT_EQ(later.sensor_time, kStartSeconds + 3601);
}

TEST_F(LiveStatusTest, ValuesArePlausibleAndChange) {
    start();
    const auto a = live();
    fake_clock.advance(7s);
    const auto b = live();
    for (const auto& l : {a, b}) {
        EXPECT_NEAR(l.voltage_mv, 12000, 100);
        EXPECT_NEAR(l.temperature_mc, 15000, 500);
        EXPECT_GE(l.depth, 0.0f);
        for (const auto ch : l.channel) {
            EXPECT_GT(ch, 0);
            EXPECT_LT(ch, 65535);
        }
    }
    EXPECT_NE(a.voltage_mv, b.voltage_mv);
    EXPECT_NE(a.channel, b.channel);
}

TEST_F(LiveStatusTest, PowerStatusCarriesSupplyTemperatureAndVariant) {
    VirtualSensorOptions o;
    o.supply_mv = 11500;
    o.board_variant = 3;
    start(o);
    fake_clock.advance(12s);
    auto c = command(295);
    ASSERT_EQ(send(c), 0);
    common::ByteReader r(c.payload());
    r.skip(5);
    const auto supply = r.i32();
    const auto temperature = r.i32();
    EXPECT_NEAR(supply, 11500, 100);
    EXPECT_EQ(supply, live().voltage_mv) << "the sample and the power status agree";
    EXPECT_NEAR(temperature, 15000, 500);
    EXPECT_EQ(r.u32(), 3u);
}

TEST_F(LiveStatusTest, PlatformStateFollowsTheDive) {
    start();
    auto c = command(444);
    ASSERT_EQ(send(c), 0);
    common::ByteReader r(c.payload());
    r.skip(3);
    EXPECT_NEAR(r.f32(), 35.1, 0.1);  // salinity
    EXPECT_NEAR(r.f32(), 12.5, 0.5);  // temperature
    EXPECT_NEAR(r.f32(), 5.2, 0.2);   // oxygen
    const float surface = r.f32();
    EXPECT_EQ(r.u8(), 1) << "descending";
    fake_clock.advance(300s);
    auto deep = command(444);
    ASSERT_EQ(send(deep), 0);
    common::ByteReader d(deep.payload());
    d.skip(15);
    EXPECT_GT(d.f32(), surface + 50);
    EXPECT_EQ(d.u8(), 2) << "ascending";
}

TEST_F(LiveStatusTest, StartAndStopSwitchModeStateAndOutputFile) {
    start();
    EXPECT_EQ(file_name(), "") << "an idle sensor writes no file";
    auto go = command(437, {3});
    ASSERT_EQ(send(go), 0);
    const auto running = live();
    EXPECT_EQ(running.mode, kModeOperating);
    EXPECT_EQ(running.state, 3);
    EXPECT_EQ(file_name(), "R0000001.CSV");
    auto stop = command(438);
    ASSERT_EQ(send(stop), 0);
    EXPECT_EQ(live().mode, kModeIdle);
    auto again = command(437, {0});
    ASSERT_EQ(send(again), 0);
    EXPECT_EQ(file_name(), "R0000002.CSV") << "each run writes a file of its own";
}

TEST_F(LiveStatusTest, LowSupplyReportsTheModeWithoutSampleAndRefusesToRun) {
    VirtualSensorOptions o;
    o.supply_mv = 8000;
    start(o);
    auto status = command(418);
    ASSERT_EQ(send(status), link::kResultLowVoltage);
    EXPECT_EQ(status.payload()[0], kModeIdle);
    auto go = command(437, {0});
    EXPECT_EQ(send(go), link::kResultLowVoltage);
}
