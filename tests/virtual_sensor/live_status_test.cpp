// Live status of the emulated sensor over a real link: the counter follows the clock, values
// stay plausible and change, run control switches the mode and the output file name.
#include <gtest/gtest.h>

#include <string>

#include "link/board_commands.hpp"
#include "link/operation_commands.hpp"
#include "link/platform_commands.hpp"
#include "records/live_sample.hpp"
#include "records/platform_state.hpp"
#include "records/power_status.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

using namespace kelpira;
using namespace kelpira::virtual_sensor;
using namespace kelpira::virtual_sensor::testing;
using namespace std::chrono_literals;

namespace {

class LiveStatusTest : public SensorFixture {
  protected:
    records::LiveStatus live() {
        link::RecordBytes<link::kLiveStatusSize> bytes{};
        EXPECT_EQ(link::get_live_status(link, bytes), 0);
        return records::decode_live_status(bytes);
    }
    records::PlatformState platform() {
        link::RecordBytes<records::PlatformState::size> bytes{};
        EXPECT_EQ(link::get_platform_state(link, bytes), 0);
        return records::decode_platform_state(bytes);
    }
    std::string file_name() {
        std::string name = "unchanged";
        EXPECT_EQ(link::get_output_file_name(link, name), 0);
        return name;
    }
};

}  // namespace

TEST_F(LiveStatusTest, CounterAdvancesOncePerSecondOfTheClock) {
    start();
    const auto first = live();
    EXPECT_EQ(first.sample.counter, 0u);
    EXPECT_EQ(first.sample.sensor_time, kStartSeconds);
    EXPECT_EQ(first.sample.platform_time, kStartSeconds);
    EXPECT_EQ(first.sample.platform_valid, 1);
    EXPECT_EQ(first.mode, records::kModeIdle);

    fake_clock.advance(999ms);
    EXPECT_EQ(live().sample.counter, 0u) << "no sample is owed yet";
    fake_clock.advance(1ms);
    EXPECT_EQ(live().sample.counter, 1u);
    EXPECT_EQ(live().sample, live().sample) << "asking twice in a second gives the same sample";
    fake_clock.advance(3600s);
    const auto later = live();
    EXPECT_EQ(later.sample.counter, 3601u);
    EXPECT_EQ(later.sample.sensor_time, kStartSeconds + 3601);
}

TEST_F(LiveStatusTest, ValuesArePlausibleAndChange) {
    start();
    const auto a = live().sample;
    fake_clock.advance(7s);
    const auto b = live().sample;
    for (const auto& s : {a, b}) {
        EXPECT_NEAR(s.voltage_mv, 12000, 100);
        EXPECT_NEAR(s.temperature_mc, 15000, 500);
        EXPECT_GE(s.platform_depth, 0.0f);
        EXPECT_NEAR(s.platform_salinity, 35.1, 0.1);
        for (const auto ch : s.channel) {
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
    link::RecordBytes<link::kPowerStatusSize> bytes{};
    ASSERT_EQ(link::get_power_status(link, bytes), 0);
    const auto power = records::decode_power_status(bytes);
    EXPECT_NEAR(power.supply_mv, 11500, 100);
    EXPECT_EQ(power.supply_mv, live().sample.voltage_mv) << "sample and power status agree";
    EXPECT_NEAR(power.temperature_mc, 15000, 500);
    EXPECT_EQ(power.board_variant, 3u);
}

TEST_F(LiveStatusTest, PlatformStateFollowsTheDive) {
    start();
    const auto surface = platform();
    EXPECT_NEAR(surface.salinity, 35.1, 0.1);
    EXPECT_NEAR(surface.temperature, 12.5, 0.5);
    EXPECT_NEAR(surface.dissolved_oxygen, 5.2, 0.2);
    EXPECT_EQ(surface.direction, 1) << "descending";
    fake_clock.advance(300s);
    const auto deep = platform();
    EXPECT_GT(deep.depth, surface.depth + 50);
    EXPECT_EQ(deep.direction, 2) << "ascending";
    EXPECT_EQ(deep.p1, 300);
}

TEST_F(LiveStatusTest, StartAndStopSwitchModeStateAndOutputFile) {
    start();
    EXPECT_EQ(file_name(), "") << "an idle sensor writes no file";
    ASSERT_EQ(link::start_state_machine(link, 3), 0);
    const auto running = live();
    EXPECT_EQ(running.mode, records::kModeOperating);
    EXPECT_EQ(running.sample.state, 3);
    EXPECT_EQ(file_name(), "R0000001.CSV");
    ASSERT_EQ(link::stop_state_machine(link), 0);
    EXPECT_EQ(live().mode, records::kModeIdle);
    ASSERT_EQ(link::start_state_machine(link, 0), 0);
    EXPECT_EQ(file_name(), "R0000002.CSV") << "each run writes a file of its own";
}

TEST_F(LiveStatusTest, LowSupplyReportsTheModeWithoutSampleAndRefusesToRun) {
    VirtualSensorOptions o;
    o.supply_mv = 8000;
    start(o);
    auto status = command(418);
    ASSERT_EQ(send(status), link::kResultLowVoltage);
    EXPECT_EQ(status.payload()[0], records::kModeIdle);
    EXPECT_EQ(link::start_state_machine(link, 0), link::kResultLowVoltage);
}
