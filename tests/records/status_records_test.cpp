// Live sample, live status, power status and platform state: field offsets on the wire.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "records/live_sample.hpp"
#include "records/platform_state.hpp"
#include "records/power_status.hpp"
#include "support/counting_bytes.hpp"

namespace kelpira::records {
namespace {

using testing::counting_bytes;

TEST(LiveSampleRecord, FieldsSitAtTheirOffsets) {
    const auto bytes = counting_bytes<LiveSample::size>();
    const LiveSample s = decode_live_sample(bytes);
    EXPECT_EQ(s.platform_valid, 1);
    EXPECT_EQ(s.counter, 0x05040302u);
    EXPECT_EQ(s.sensor_time, 0x09080706u);
    EXPECT_EQ(s.state, 10);
    EXPECT_EQ(s.temperature_mc, 0x0e0d0c0b);
    EXPECT_EQ(s.voltage_mv, 0x1211100f);
    EXPECT_EQ(s.channel[0], 0x1413);
    EXPECT_EQ(s.channel[7], 0x2221);
    EXPECT_EQ(s.hall_i, 0x2423);
    EXPECT_EQ(s.hall_w, 0x2625);
    EXPECT_EQ(s.platform_time, 0x3a393837u);
    EXPECT_EQ(encode(s), bytes);
}

TEST(LiveSampleRecord, LiveStatusIsTheModeThenTheSample) {
    const auto bytes = counting_bytes<LiveStatus::size>();
    const LiveStatus st = decode_live_status(bytes);
    EXPECT_EQ(st.mode, 1);
    EXPECT_EQ(st.sample.platform_valid, 2);
    EXPECT_EQ(st.sample.counter, 0x06050403u);
    EXPECT_EQ(encode(st), bytes);
}

TEST(LiveSampleRecord, FloatsAreLittleEndianSinglePrecision) {
    LiveSample s;
    s.platform_depth = 12.5f;  // 0x41480000
    const auto bytes = encode(s);
    EXPECT_EQ(bytes[50], 0x00);
    EXPECT_EQ(bytes[52], 0x48);
    EXPECT_EQ(bytes[53], 0x41);
}

TEST(LiveSampleRecord, FieldsPastShortInputReadAsZeros) {
    const std::array<std::uint8_t, 3> bytes{9, 0x10, 0x20};
    const LiveSample s = decode_live_sample(bytes);
    EXPECT_EQ(s.platform_valid, 9);
    EXPECT_EQ(s.counter, 0u);
    EXPECT_EQ(s.platform_time, 0u);
}

TEST(PowerStatusRecord, SupplyTemperatureAndVariantAtFiveNineThirteen) {
    const auto bytes = counting_bytes<PowerStatus::size>();
    const PowerStatus p = decode_power_status(bytes);
    EXPECT_EQ(p.supply_mv, 0x09080706);
    EXPECT_EQ(p.temperature_mc, 0x0d0c0b0a);
    EXPECT_EQ(p.board_variant, 0x11100f0eu);
    EXPECT_EQ(encode(p), bytes);
}

TEST(PlatformStateRecord, FieldsSitAtTheirOffsets) {
    const auto bytes = counting_bytes<PlatformState::size>();
    const PlatformState p = decode_platform_state(bytes);
    EXPECT_EQ(p.direction, 20);
    EXPECT_EQ(p.p1, 0x1c1b1a19);
    EXPECT_EQ(p.p2, 0x201f1e1d);
    EXPECT_EQ(p.p3, 0x24232221);
    EXPECT_EQ(encode(p), bytes);

    PlatformState q;
    q.depth = 12.5f;
    EXPECT_EQ(encode(q)[18], 0x41);
}

}  // namespace
}  // namespace kelpira::records
