// The older-firmware profiles met through the link's command wrappers: each fallback sends
// exactly the commands it should, and the converted records carry the sensor's values.
#include <gtest/gtest.h>

#include "link/actuator_commands.hpp"
#include "link/identity_commands.hpp"
#include "records/chemistry_transfer.hpp"
#include "records/nutrient_params.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

using namespace kelpira;
using namespace kelpira::virtual_sensor;
using namespace kelpira::virtual_sensor::testing;

namespace {

using ProfileTest = SensorFixture;

std::vector<std::uint16_t> codes(std::initializer_list<std::uint16_t> c) {
    return c;
}

}  // namespace

TEST_F(ProfileTest, CurrentFirmwareIsReadWithoutFallbacks) {
    start();
    link::SensorIdentification id;
    link::DeviceInfo info;
    records::NutrientParams params;
    ASSERT_EQ(link::get_sensor_identification(link, id), 0);
    ASSERT_EQ(link::get_device_info(link, info), 0);
    ASSERT_EQ(records::get_processing_params(link, params), 0);
    ASSERT_EQ(link::start_optics_test(link, {}), 0);
    EXPECT_EQ(sensor->logged_codes(), codes({260, 262, 402, 626}));
    EXPECT_EQ(id.name, "Virtual Sensor");
    EXPECT_EQ(info.mode, link::kModeFirmware);
    EXPECT_EQ(params.layout, 1);
}

TEST_F(ProfileTest, LegacyIdentityIsServedThroughTheLegacyRecord) {
    VirtualSensorOptions o;
    o.legacy_identity = true;
    o.name = "Old Nitrate";
    o.serial_number = 812;
    o.bootloader_version = 2;
    o.device_kind = 7;
    start(o);

    link::SensorIdentification id;
    ASSERT_EQ(link::get_sensor_identification(link, id), 0);
    EXPECT_EQ(id.name, "Old Nitrate");
    EXPECT_EQ(id.serial_number, 812);
    link::DeviceInfo info;
    ASSERT_EQ(link::get_device_info(link, info), 0);
    EXPECT_EQ(info.mode, link::kModeFirmware);
    EXPECT_EQ(info.device_type, 7323) << "device kind 7";
    EXPECT_EQ(info.bootloader_version, 2);

    id.name = "Renamed";
    id.serial_number = 813;
    ASSERT_EQ(link::set_sensor_identification(link, id), 0);
    link::SensorIdentification back;
    ASSERT_EQ(link::get_sensor_identification(link, back), 0);
    EXPECT_EQ(back.name, "Renamed");
    EXPECT_EQ(back.serial_number, 813);
    ASSERT_EQ(link::get_device_info(link, info), 0);
    EXPECT_EQ(info.device_type, 7323) << "a write through the legacy record keeps the kind";

    EXPECT_EQ(sensor->logged_codes(), codes({260, 256, 262, 256, 261, 257, 260, 256, 262, 256}));
}

TEST_F(ProfileTest, OldestLegacyBootloaderShowsNoSerialNumber) {
    VirtualSensorOptions o;
    o.legacy_identity = true;
    o.legacy_layout = 0;
    o.running = RunningCode::bootloader;
    o.device_kind = 2;
    start(o);
    link::SensorIdentification id;
    link::DeviceInfo info;
    ASSERT_EQ(link::get_sensor_identification(link, id), 0);
    ASSERT_EQ(link::get_device_info(link, info), 0);
    EXPECT_EQ(id.name, "Virtual Sensor");
    EXPECT_EQ(id.serial_number, 0);
    EXPECT_EQ(info.mode, link::kModeBootloader);
    EXPECT_EQ(info.device_type, 7310);
    EXPECT_EQ(info.bootloader_version, 0);
}

TEST_F(ProfileTest, LegacyNutrientRecordIsReadAndWrittenInTheOlderLayout) {
    VirtualSensorOptions o;
    o.legacy_nutrient_params = true;
    start(o);
    records::NutrientParams p;
    p.layout = 1;
    p.output_channel = 1;
    p.monitor_short = 6;
    p.standard1_nmol = 12345;
    records::update_output_monitor(p);
    ASSERT_EQ(records::set_processing_params(link, p), 0);
    records::NutrientParams back;
    ASSERT_EQ(records::get_processing_params(link, back), 0);
    EXPECT_EQ(back, p);

    const auto log = sensor->log();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].code, 403);
    EXPECT_EQ(log[0].payload.size(), 4u + 29u);
    EXPECT_EQ(log[1].code, 403);
    EXPECT_EQ(log[1].payload.size(), 4u + 29u) << "the length byte stays as it was";
    EXPECT_EQ(log[1].payload[0], 23) << "the record length asked for";
    EXPECT_EQ(log[1].payload[4], 0) << "older layout";
    EXPECT_EQ(log[2], (LoggedCommand{402, {29, 0, 0, 0}}));
    EXPECT_EQ(log[3], (LoggedCommand{402, {23, 0, 0, 0}}));
}

TEST_F(ProfileTest, OldOpticsTestFallsBackToTheOlderForm) {
    VirtualSensorOptions o;
    o.old_optics_test = true;
    start(o);
    link::RecordBytes<link::kOpticsTestSize> test{};
    for (std::size_t i = 0; i < test.size(); ++i) {
        test[i] = static_cast<std::uint8_t>(i + 1);
    }
    ASSERT_EQ(link::start_optics_test(link, test), 0);
    const auto log = sensor->log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].code, 626);
    EXPECT_EQ(log[0].payload, std::vector<std::uint8_t>(test.begin(), test.end()));
    EXPECT_EQ(log[1].code, 370);
    EXPECT_EQ(log[1].payload, std::vector<std::uint8_t>(test.begin(), test.begin() + 16));
}
