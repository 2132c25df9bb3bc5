// WRITE_FIRMWARE_BLOCK on the emulated sensor: what it checks in each block, the restart on
// the closing block, the firmware version an image carries, and the scripted refusal.
#include <gtest/gtest.h>

#include "link/upgrade_block.hpp"
#include "server_args.hpp"
#include "virtual_sensor/firmware_upgrade.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

using namespace kelpira;
using namespace kelpira::virtual_sensor;
using namespace kelpira::virtual_sensor::testing;
using kelpira::link::UpgradeBlock;

namespace {

class FirmwareBlocks : public SensorFixture {
  protected:
    link::CommandResult write(std::uint32_t number, const std::string& bytes,
                              std::uint32_t address = link::kFirmwareLoadAddress) {
        UpgradeBlock block;
        block.block_number = number;
        block.count = static_cast<std::uint32_t>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), block.data.begin());
        block.load_address = address;
        const auto payload = link::encode(block);
        link::SensorCommand c;
        c.set_code(259);
        c.set_length(static_cast<std::uint8_t>(payload.size()));
        std::copy(payload.begin(), payload.end(), c.payload().begin());
        return send(c);
    }
    std::string version() {
        auto c = command(294);
        EXPECT_EQ(send(c), 0);
        return std::string(reinterpret_cast<const char*>(c.payload().data() + 1));
    }

    static VirtualSensorOptions bootloader() {
        VirtualSensorOptions o;
        o.running = RunningCode::bootloader;
        o.firmware_version = "KELPIRA_2_6_1";
        return o;
    }
};

}  // namespace

TEST_F(FirmwareBlocks, TheBootloaderTakesAFirmwareImageAndRestartsIntoIt) {
    start(bootloader());
    EXPECT_EQ(write(0, std::string(60, 'x') + "KELP"), 0);
    EXPECT_EQ(write(1, "IRA_2_7_20\n"), 0);
    EXPECT_EQ(arrivals, 0);
    EXPECT_EQ(write(2, ""), 0);
    EXPECT_EQ(arrivals, 1);
    EXPECT_EQ(sensor->running(), RunningCode::firmware);
    EXPECT_EQ(version(), "KELPIRA_2_7_20");
}

TEST_F(FirmwareBlocks, EachBlockIsChecked) {
    start(bootloader());
    EXPECT_EQ(write(1, "ab"), kResultBadValue);     // not the first block
    EXPECT_EQ(write(0, "ab", 0), kResultBadValue);  // a bootloader's address
    EXPECT_EQ(write(0, ""), kResultBadValue);       // closing an image that has no bytes
    EXPECT_EQ(write(0, "ab"), 0);
    EXPECT_EQ(write(2, "cd"), kResultBadValue);  // a block left out
    EXPECT_EQ(write(0, "KELPIRA_2_8_3"), 0);     // block 0 begins the image again
    EXPECT_EQ(write(1, ""), 0);
    EXPECT_EQ(version(), "KELPIRA_2_8_3");

    auto short_block = command(259, {1, 0, 0, 0, 0});
    EXPECT_EQ(send(short_block), link::kResultBadLength);
}

TEST_F(FirmwareBlocks, RunningFirmwareTakesABootloaderImageAndKeepsItsVersion) {
    start({});
    EXPECT_EQ(write(0, "KELPIRA_2_8_1", link::kFirmwareLoadAddress), kResultBadValue);
    EXPECT_EQ(write(0, "KELPIRA_2_8_1", 0), 0);
    EXPECT_EQ(write(1, "", 0), 0);
    EXPECT_EQ(arrivals, 1);
    EXPECT_EQ(sensor->running(), RunningCode::firmware);
    EXPECT_EQ(version(), "KELPIRA_2_8_3");
}

TEST(FirmwareUpgradeOptions, RefuseBlockTakesTheBlockAndTheResult) {
    using virtual_sensor_program::parse_server_options;
    const auto parsed = parse_server_options({"--refuse-block", "5:3"});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->devices[0].sensor.refuse_block, (BlockRefusal{5, 3}));
    EXPECT_FALSE(parse_server_options({"--refuse-block", "5:0"}).options);
}
