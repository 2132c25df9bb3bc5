// The command wrappers against the emulated sensor firmware: current firmware and the older
// profiles that need the fallbacks, checked on the sensor's own command log.
#include <gtest/gtest.h>

#include <memory>

#include "link/actuator_commands.hpp"
#include "link/compatibility_verdict.hpp"
#include "link/device_types.hpp"
#include "link/identity_commands.hpp"
#include "link/identity_probe.hpp"
#include "records/chemistry_transfer.hpp"
#include "virtual_sensor/in_process_device.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

using namespace kelpira;
using namespace kelpira::link;
using virtual_sensor::VirtualSensor;
using virtual_sensor::VirtualSensorOptions;

namespace {

class EmulatedSensor : public ::testing::Test {
  protected:
    void start(VirtualSensorOptions options) {
        sensor = std::make_unique<VirtualSensor>(std::move(options));
        virtual_sensor::attach_in_process(backend, "/virtual/e2e", *sensor);
        ASSERT_EQ(link.Open("/virtual/e2e", std::chrono::milliseconds(3000)), 0);
    }
    void TearDown() override { link.Close(); }

    InProcessHidBackend backend;
    SensorLink link{backend};
    std::unique_ptr<VirtualSensor> sensor;
};

}  // namespace

TEST_F(EmulatedSensor, CurrentFirmwareIdentifiesItselfAndIsTheLatest) {
    VirtualSensorOptions options;
    options.name = "Reef Station 4";
    options.serial_number = 4242;
    start(options);
    const auto probed = probe_sensor(link);
    ASSERT_TRUE(probed);
    EXPECT_EQ(probed->name, "Reef Station 4");
    EXPECT_EQ(probed->identification.serial_number, 4242);
    EXPECT_EQ(probed->info.mode, kModeFirmware);
    EXPECT_EQ(DeviceTypeName(probed->info.device_type), "Marivane KELPIRA Lab-on-Chip Sensor");
    const auto version = read_firmware_version_text(link);
    ASSERT_TRUE(version);
    EXPECT_EQ(judge_firmware(*version).verdict.back().text, "All operations are safe.");
    EXPECT_EQ(sensor->logged_codes(), (std::vector<std::uint16_t>{260, 262, 294}));
}

TEST_F(EmulatedSensor, ConfigurationRecordsRoundTrip) {
    start({});
    records::ChemistryConfig chem;
    ASSERT_EQ(get_chemistry_config(link, chem), 0);
    EXPECT_EQ(chem.chemistry, records::ChemistryType::nitrate);

    records::NutrientParams params;
    ASSERT_EQ(get_processing_params(link, params), 0);
    params.layout = 1;
    params.standard1_nmol = 12345;
    params.monitor_short = 6;
    params.output_channel = 1;
    records::update_output_monitor(params);
    ASSERT_EQ(set_processing_params(link, params), 0);
    records::NutrientParams back;
    ASSERT_EQ(get_processing_params(link, back), 0);
    EXPECT_EQ(back, params);

    records::ThermistorConfig t;
    t.input_channel = 4;
    t.a1 = 2.5f;
    ASSERT_EQ(set_thermistor_config(link, 1, t), 0);
    records::ThermistorConfig t_back;
    ASSERT_EQ(get_thermistor_config(link, 1, t_back), 0);
    EXPECT_EQ(t_back, t);
}

TEST_F(EmulatedSensor, OlderFirmwareIsMetByTheFallbacks) {
    VirtualSensorOptions options;
    options.name = "Old Timer";
    options.legacy_identity = true;
    options.device_kind = 7;
    options.old_optics_test = true;
    options.legacy_nutrient_params = true;
    start(options);

    const auto probed = probe_sensor(link);
    ASSERT_TRUE(probed);
    EXPECT_EQ(probed->name, "Old Timer");
    EXPECT_EQ(probed->info.device_type, 7323);
    EXPECT_EQ(probed->identification.layout, 2);

    RecordBytes<kOpticsTestSize> optics{};
    EXPECT_EQ(start_optics_test(link, optics), 0);

    records::NutrientParams params;
    ASSERT_EQ(get_processing_params(link, params), 0);
    EXPECT_EQ(params.layout, 1);
    EXPECT_EQ(params.measure_long, 2);

    EXPECT_EQ(sensor->logged_codes(),
              (std::vector<std::uint16_t>{260, 256, 262, 256, 626, 370, 402, 402}));
    const auto log = sensor->log();
    EXPECT_EQ(log[5].payload.size(), 16u);
    EXPECT_EQ(log[7].payload, (std::vector<std::uint8_t>{23, 0, 0, 0}));
}
