// The three fallbacks to older forms of a command: nutrient processing parameters on 4, the
// optics test on 8, the identity commands on 9. Each checks both requests on the wire and the
// record the caller gets.
#include <gtest/gtest.h>

#include "link/actuator_commands.hpp"
#include "link/identity_commands.hpp"
#include "records/chemistry_transfer.hpp"
#include "scripted_sensor.hpp"

using namespace kelpira::link;
using namespace kelpira::link::testing;
using namespace kelpira;

namespace {

std::uint32_t payload_u32(const Report& r, std::size_t offset = 0) {
    const std::size_t p = kPayloadOffset + offset;
    return static_cast<std::uint32_t>(r[p] | (r[p + 1] << 8) | (r[p + 2] << 16) | (r[p + 3] << 24));
}

// A legacy nutrient record: output Short, monitored by input 6.
std::vector<std::uint8_t> legacy_nutrient_record() {
    records::NutrientParams p;
    p.sensor_version = 0;
    p.output_channel = 1;
    p.sample_intake_state = 3;
    p.standard1_nmol = 12345;
    p.output_monitored = 1;
    p.output_monitor = 6;
    const auto bytes = records::encode_legacy(p);
    return {bytes.begin(), bytes.end()};
}

std::optional<Answer> silent() {
    return std::nullopt;
}

}  // namespace

TEST_F(SensorFixture, NutrientParamsOnResult4AreReadInTheLegacyLayoutAndConverted) {
    open([](const SensorCommand& r) -> std::optional<Answer> {
        if (payload_u32(r.bytes) == 29) {
            return Answer{4, counting_payload()};
        }
        auto record = legacy_nutrient_record();
        record.resize(40, 0xCC);  // whatever follows the 23 bytes is not taken
        return Answer{0, record};
    });
    std::array<std::uint8_t, 29> buffer{};
    ASSERT_EQ(get_processing_params(link, records::ChemistryType::silicate, buffer), 0);

    const auto reports = sent();
    ASSERT_EQ(reports.size(), 2u);
    for (const auto& r : reports) {
        EXPECT_EQ(r[1] | (r[2] << 8), 402);
        EXPECT_EQ(r[5], 4) << "the length byte stays 4";
    }
    EXPECT_EQ(payload_u32(reports[0]), 29u);
    EXPECT_EQ(payload_u32(reports[1]), 23u);
    EXPECT_EQ(reports[1][3], 3) << "a transaction of its own";

    const auto p = records::decode_nutrient_params(buffer);
    EXPECT_EQ(p.layout, 1);
    EXPECT_EQ(p.output_channel, 1);
    EXPECT_EQ(p.sample_intake_state, 3);
    EXPECT_EQ(p.standard1_nmol, 12345u);
    EXPECT_EQ(p.measure_medium, 0);
    EXPECT_EQ(p.measure_short, 1);
    EXPECT_EQ(p.measure_long, 2);
    EXPECT_EQ(p.monitor_medium, 255);
    EXPECT_EQ(p.monitor_short, 6);
    EXPECT_EQ(p.monitor_long, 255);

    records::NutrientParams typed;
    ASSERT_EQ(get_processing_params(link, typed), 0);
    EXPECT_EQ(typed, p);
}

TEST_F(SensorFixture, ResultFourForOtherChemistriesIsReturnedWithoutSecondRequest) {
    open([](const SensorCommand&) { return Answer{4, counting_payload()}; });
    for (auto chemistry :
         {records::ChemistryType::ph, records::ChemistryType::ta, records::ChemistryType::dic,
          records::ChemistryType::generic, records::ChemistryType::ammonia}) {
        std::vector<std::uint8_t> buffer(records::processing_record_length(chemistry), 0x5A);
        EXPECT_EQ(get_processing_params(link, chemistry, buffer), 4);
        EXPECT_EQ(set_processing_params(link, chemistry, buffer), 4);
        EXPECT_EQ(buffer[0], 0x5A);
    }
    EXPECT_EQ(sent().size(), 10u);
}

TEST_F(SensorFixture, NutrientReadFallbackThatFailsReturns4OrTheSecondResult) {
    int calls = 0;
    std::uint8_t second = 0;
    open([&](const SensorCommand&) -> std::optional<Answer> {
        if (++calls % 2 == 1) {
            return Answer{4, {}};
        }
        if (second == 0) {
            return silent();
        }
        return Answer{second, counting_payload()};
    });
    records::NutrientParams p;
    p.standard2_nmol = 99;
    EXPECT_EQ(get_processing_params(link, p), 4) << "transport failure on the second request";
    EXPECT_EQ(p.standard2_nmol, 99u);
    second = 7;
    EXPECT_EQ(get_processing_params(link, p), 7);
    EXPECT_EQ(p.standard2_nmol, 99u);
    EXPECT_EQ(sent().size(), 4u);
}

TEST_F(SensorFixture, NutrientWriteFallbackSendsTheLegacyLayoutWithTheLengthByteKept) {
    std::optional<std::uint8_t> second_result = 0;
    open([&](const SensorCommand& r) -> std::optional<Answer> {
        if (payload_u32(r.bytes) == 29) {
            return Answer{4, counting_payload()};
        }
        if (!second_result) {
            return silent();
        }
        return Answer{*second_result, {}};
    });
    records::NutrientParams p;
    p.layout = 1;
    p.output_channel = 2;
    p.standard1_nmol = 5000;
    p.monitor_long = 4;
    records::update_output_monitor(p);
    const auto record = records::encode(p);
    ASSERT_EQ(set_processing_params(link, records::ChemistryType::iron, record), 0);

    const auto reports = sent();
    ASSERT_EQ(reports.size(), 2u);
    Report first{};
    first[1] = 0x93;  // 403
    first[2] = 0x01;
    first[3] = 2;
    first[5] = 33;
    first[6] = 29;
    std::copy(record.begin(), record.end(), first.begin() + 10);
    EXPECT_EQ(reports[0], first);

    Report second = first;
    second[3] = 3;
    second[6] = 23;
    const auto legacy = records::encode_legacy(p);
    std::copy(legacy.begin(), legacy.end(), second.begin() + 10);
    EXPECT_EQ(second[10], 0) << "layout 0";
    EXPECT_EQ(reports[1], second);

    second_result = std::nullopt;
    EXPECT_EQ(set_processing_params(link, p), 4) << "transport failure on the second request";
    second_result = 9;
    EXPECT_EQ(set_processing_params(link, p), 9);
}

TEST_F(SensorFixture, OpticsTestOnResult8ResendsTheRequestAsTheOlderForm) {
    std::optional<std::uint8_t> v1_result = 0;
    open([&](const SensorCommand& r) -> std::optional<Answer> {
        if (r.code() == 626) {
            return Answer{8, std::vector<std::uint8_t>(123, 0x77)};  // not to be resent
        }
        if (!v1_result) {
            return silent();
        }
        return Answer{*v1_result, {}};
    });
    RecordBytes<kOpticsTestSize> test{};
    for (std::size_t i = 0; i < test.size(); ++i) {
        test[i] = static_cast<std::uint8_t>(0xA0 + i);
    }
    ASSERT_EQ(start_optics_test(link, test), 0);

    const auto reports = sent();
    ASSERT_EQ(reports.size(), 2u);
    Report first{};
    first[1] = 0x72;
    first[2] = 0x02;
    first[3] = 2;
    first[5] = 36;
    std::copy(test.begin(), test.end(), first.begin() + 6);
    EXPECT_EQ(reports[0], first);
    Report second = first;
    second[2] = 0x01;  // 370
    second[3] = 3;
    second[5] = 16;
    EXPECT_EQ(reports[1], second);

    v1_result = 3;
    EXPECT_EQ(start_optics_test(link, test), 3);
    v1_result = std::nullopt;
    EXPECT_EQ(start_optics_test(link, test), kResultNoExchange);
}

TEST_F(SensorFixture, OpticsTestAcceptedByNewFirmwareSendsOnce) {
    open([](const SensorCommand&) { return Answer{0, {}}; });
    RecordBytes<kOpticsTestSize> test{};
    EXPECT_EQ(start_optics_test(link, test), 0);
    EXPECT_EQ(sent().size(), 1u);
}

namespace {

// Firmware that knows only the legacy identity; `legacy` answers 256, `legacy_result` 257.
struct LegacySensor {
    LegacyIdentity legacy;
    std::optional<std::uint8_t> legacy_result = 0;

    std::optional<Answer> operator()(const SensorCommand& r) const {
        switch (r.code()) {
            case 256:
            case 257: {
                if (!legacy_result) {
                    return std::nullopt;
                }
                const auto bytes = encode(legacy);
                return Answer{*legacy_result, {bytes.begin(), bytes.end()}};
            }
            default:
                return Answer{9, counting_payload()};
        }
    }
};

}  // namespace

TEST_F(SensorFixture, IdentificationFallsBackToTheLegacyIdentity) {
    LegacySensor sensor;
    sensor.legacy = {1, 2, "Reef-7", 7, 4321, 3};
    open(std::ref(sensor));
    SensorIdentification ident;
    ident.board_serial_number = 55;
    ASSERT_EQ(get_sensor_identification(link, ident), 0);
    EXPECT_EQ(code_sent(0), 260);
    EXPECT_EQ(code_sent(1), 256);
    EXPECT_EQ(sent()[1][5], 0);
    EXPECT_EQ(ident.layout, 2);
    EXPECT_EQ(ident.reserved1, 0);
    EXPECT_EQ(ident.name, "Reef-7");
    EXPECT_EQ(ident.reserved23, 0);
    EXPECT_EQ(ident.serial_number, 4321);
    EXPECT_EQ(ident.reserved26, 0);
    EXPECT_EQ(ident.board_serial_number, 0);

    sensor.legacy.legacy_layout = 0;  // the oldest layout has no serial number
    ASSERT_EQ(get_sensor_identification(link, ident), 0);
    EXPECT_EQ(ident.serial_number, 0);
    EXPECT_EQ(ident.name, "Reef-7");

    sensor.legacy_result = 5;
    ident.name = "kept";
    EXPECT_EQ(get_sensor_identification(link, ident), 9);
    sensor.legacy_result = std::nullopt;
    EXPECT_EQ(get_sensor_identification(link, ident), 9);
    EXPECT_EQ(ident.name, "kept");
}

TEST_F(SensorFixture, DeviceInfoFallsBackToTheLegacyIdentity) {
    LegacySensor sensor;
    sensor.legacy = {1, 1, "Boot", 2, 10, 4};
    open(std::ref(sensor));
    DeviceInfo info;
    ASSERT_EQ(get_device_info(link, info), 0);
    EXPECT_EQ(code_sent(0), 262);
    EXPECT_EQ(code_sent(1), 256);
    EXPECT_EQ(info, (DeviceInfo{0, 1, 7310, 4}));

    sensor.legacy = {0, 2, "Old", 7, 10, 4};
    ASSERT_EQ(get_device_info(link, info), 0);
    EXPECT_EQ(info, (DeviceInfo{0, 2, 7323, 0})) << "no bootloader version in the oldest layout";

    sensor.legacy.device_kind = 13;
    ASSERT_EQ(get_device_info(link, info), 0);
    EXPECT_EQ(info.device_type, 0);
    sensor.legacy.device_kind = 0;
    ASSERT_EQ(get_device_info(link, info), 0);
    EXPECT_EQ(info.device_type, 0);

    sensor.legacy_result = 3;
    EXPECT_EQ(get_device_info(link, info), 3) << "the legacy result is passed up";
    sensor.legacy_result = std::nullopt;
    EXPECT_EQ(get_device_info(link, info), 9);
    EXPECT_EQ(info.mode, 2);
}

TEST_F(SensorFixture, IdentificationWriteFallsBackToTheLegacyRecord) {
    LegacySensor sensor;
    open(std::ref(sensor));
    SensorIdentification ident;
    ident.reserved1 = 0x11;
    ident.name = "Kelp One";
    ident.reserved23 = 7;
    ident.serial_number = 0xBEEF;
    ident.reserved26 = 5;
    ident.board_serial_number = 0x1234;
    ASSERT_EQ(set_sensor_identification(link, ident), 0);

    const auto reports = sent();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0][5], 29);
    EXPECT_EQ(reports[0][6], 2);
    Report legacy{};
    legacy[1] = 0x01;  // 257
    legacy[2] = 0x01;
    legacy[3] = 3;
    legacy[5] = 27;
    legacy[6] = 1;  // legacy_layout
    legacy[7] = 0x11;
    const std::string name = "Kelp One";
    std::copy(name.begin(), name.end(), legacy.begin() + 8);
    legacy[29] = 7;  // device_kind
    legacy[30] = 0xEF;
    legacy[31] = 0xBE;
    legacy[32] = 5;  // bootloader_version
    EXPECT_EQ(reports[1], legacy);

    sensor.legacy_result = 6;
    EXPECT_EQ(set_sensor_identification(link, ident), 6);
    sensor.legacy_result = std::nullopt;
    EXPECT_EQ(set_sensor_identification(link, ident), 9);
}
