// The emulated sensor's FRAM and NVRAM: which sensors have them, and the board variant option.
#include <gtest/gtest.h>

#include "server_args.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

namespace kelpira::virtual_sensor {
namespace {

using testing::command;

class FactoryStoresTest : public testing::SensorFixture {};

TEST_F(FactoryStoresTest, BoardVariantWithoutNvramRefusesItsCommands) {
    VirtualSensorOptions o;
    o.board_variant = 5;
    start(o);
    auto get = command(322);
    EXPECT_EQ(send(get), kResultBadValue);
    auto set = command(323, {0, 9, 0, 0, 0});
    EXPECT_EQ(send(set), kResultBadValue);
    auto fram = command(292);
    EXPECT_EQ(send(fram), link::kResultSuccess) << "the FRAM is on every processing board";
}

TEST(FactoryStoresOptions, BoardVariantOption) {
    using virtual_sensor_program::parse_server_options;
    const auto parsed = parse_server_options({"--board-variant", "5", "--device"});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->devices[0].sensor.board_variant, 5u);
    EXPECT_EQ(parsed.options->devices[1].sensor.board_variant, 6u) << "the default";
    EXPECT_EQ(parse_server_options({"--board-variant", "-1"}).outcome.error,
              "--board-variant: -1 not in [0, 4294967295]");
    EXPECT_NE(parse_server_options({"--help"}).outcome.out.find("--board-variant"),
              std::string::npos);
}

}  // namespace
}  // namespace kelpira::virtual_sensor
