// Answers a device may send that a careful program must survive: garbage reports, wrong
// codes, unterminated texts, results that keep asking for the fallback.
#include <gtest/gtest.h>

#include <random>

#include "link/actuator_commands.hpp"
#include "link/board_commands.hpp"
#include "link/compatibility_verdict.hpp"
#include "link/identity_commands.hpp"
#include "link/identity_probe.hpp"
#include "link/operation_commands.hpp"
#include "link/platform_commands.hpp"
#include "records/chemistry_transfer.hpp"
#include "scripted_sensor.hpp"

using namespace kelpira::link;
using namespace kelpira::link::testing;
using namespace kelpira;

TEST_F(SensorFixture, FallbacksHappenOnceEvenIfTheOlderFormIsRefusedAlike) {
    open([](const SensorCommand& r) {
        const std::uint8_t result = r.code() == 626 || r.code() == 370   ? 8
                                    : r.code() == 402 || r.code() == 403 ? 4
                                                                         : 9;
        return Answer{result, counting_payload()};
    });
    SensorIdentification ident;
    DeviceInfo info;
    records::NutrientParams nutrient;
    RecordBytes<kOpticsTestSize> optics{};
    EXPECT_EQ(get_sensor_identification(link, ident), 9);
    EXPECT_EQ(set_sensor_identification(link, ident), 9);
    EXPECT_EQ(get_device_info(link, info), 9);
    EXPECT_EQ(get_processing_params(link, nutrient), 4);
    EXPECT_EQ(set_processing_params(link, nutrient), 4);
    EXPECT_EQ(start_optics_test(link, optics), 8);
    EXPECT_EQ(sent().size(), 12u);
    EXPECT_EQ(ident, SensorIdentification{});
    EXPECT_EQ(nutrient, records::NutrientParams{});
}

TEST_F(SensorFixture, OutputFileNameWithoutTerminatorIsCutAt12) {
    open([](const SensorCommand&) { return Answer{0, std::vector<std::uint8_t>(123, 'F')}; });
    std::string name;
    ASSERT_EQ(get_output_file_name(link, name), 0);
    EXPECT_EQ(name, std::string(12, 'F'));
}

TEST_F(SensorFixture, ShortAnswersLeaveTheRestOfTheRecordZero) {
    open([](const SensorCommand&) { return Answer{0, {7}}; });
    records::ChemistryConfig chem;
    chem.sample_interval_ms = 5;
    ASSERT_EQ(get_chemistry_config(link, chem), 0);
    EXPECT_EQ(chem.reserved0, 7);
    EXPECT_EQ(chem.sample_interval_ms, 0u) << "the PC takes the record's length, not byte 5";
}

// Every wrapper against a device answering random bytes with the right sequence number:
// no crash, no read outside a buffer (the asan build checks), texts bounded by their fields.
TEST_F(SensorFixture, GarbageAnswersAreSurvived) {
    std::mt19937 random(12345);
    std::mutex m;
    open([&](const SensorCommand&) {
        std::lock_guard lk(m);
        Answer a;
        a.result = static_cast<std::uint8_t>(random() % 3 == 0 ? random() % 16 : 0);
        a.payload.resize(kMaxPayload);
        for (auto& b : a.payload) {
            b = static_cast<std::uint8_t>(random());
        }
        return a;
    });
    for (int round = 0; round < 50; ++round) {
        SensorIdentification ident;
        DeviceInfo info;
        FirmwareVersion version;
        get_sensor_identification(link, ident);
        EXPECT_LE(ident.name.size(), 21u);
        get_device_info(link, info);
        get_firmware_version(link, version);
        EXPECT_LE(version.text.size(), 25u);
        judge_firmware(version.text);
        if (const auto probed = probe_sensor(link)) {
            EXPECT_LE(probed->name.size(), 20u);
        }
        std::string file;
        get_output_file_name(link, file);
        EXPECT_LE(file.size(), 12u);
        records::NutrientParams nutrient;
        get_processing_params(link, nutrient);
        std::array<std::uint8_t, 119> longest{};
        get_processing_params(link, records::ChemistryType::iron, longest);
        records::ThermistorConfig thermistor;
        get_thermistor_config(link, 2, thermistor);
        RecordBytes<kDiagnosticsEntrySize> diagnostics{};
        read_diagnostics(link, diagnostics);
        RecordBytes<kOpticsTestSize> optics{};
        start_optics_test(link, optics);
        std::uint16_t states = 0;
        get_state_machine_info(link, states);
    }
}

TEST(CommandExchange, OversizedRecordsAreRefusedBeforeAnythingIsSent) {
    InProcessHidBackend backend;
    SensorLink link(backend);
    std::array<std::uint8_t, 120> too_long{};
    EXPECT_THROW(get_processing_params(link, records::ChemistryType::ph, too_long),
                 std::length_error);
    std::array<std::uint8_t, 124> payload{};
    EXPECT_THROW(exchange(link, CommandCode::SET_STATE_RECORD, payload), std::length_error);
}
