// Identity records, device type names and the identity probe, including records from a
// device that sends text without terminators.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "link/device_types.hpp"
#include "link/identity_commands.hpp"
#include "link/identity_probe.hpp"
#include "scripted_sensor.hpp"

using namespace kelpira::link;
using namespace kelpira::link::testing;

TEST(DeviceTypeName, NamesTheFamilyAndThisSensor) {
    EXPECT_EQ(DeviceTypeName(7310), "Marivane KELPIRA Lab-on-Chip Sensor");
    EXPECT_EQ(DeviceTypeName(7323), "Marivane KELPIRA Lab-on-Chip Sensor");
    EXPECT_EQ(DeviceTypeName(7305), "Marivane Unknown Device");
    EXPECT_EQ(DeviceTypeName(0), "Marivane Unknown Device");
    std::set<std::uint16_t> codes;
    std::set<std::string_view> names;
    for (const auto& e : kDeviceTypes) {
        EXPECT_GE(e.code, 7306);
        EXPECT_LE(e.code, 7367);
        codes.insert(e.code);
        names.insert(e.family_name);
        EXPECT_LE(DeviceTypeName(e.code).size(), 39u) << e.family_name;
    }
    EXPECT_EQ(codes.size(), 26u);
    EXPECT_EQ(names.size(), 25u);
}

TEST(DeviceTypeName, LegacyDeviceKinds) {
    EXPECT_EQ(device_type_of_kind(2), 7310);
    EXPECT_EQ(device_type_of_kind(7), 7323);
    EXPECT_EQ(device_type_of_kind(0), 0);
    EXPECT_EQ(device_type_of_kind(13), 0);
    EXPECT_EQ(device_type_of_kind(255), 0);
    std::set<std::uint16_t> kinds;
    for (std::uint8_t k = 1; k <= 12; ++k) {
        const auto type = device_type_of_kind(k);
        EXPECT_NE(DeviceTypeName(type), "Marivane Unknown Device") << int{k};
        kinds.insert(type);
    }
    EXPECT_EQ(kinds.size(), 12u);
}

// Bytes 01 02 03 ...: every field, reserved bytes included, read from its place and written
// back; a name of 21 bytes has no terminator and goes back whole.
TEST(IdentityRecords, EveryRecordComesBackByteForByte) {
    const auto counting = [](std::size_t n, std::uint8_t first = 1) {
        std::vector<std::uint8_t> b(n);
        for (std::size_t i = 0; i < n; ++i) {
            b[i] = static_cast<std::uint8_t>(first + i);
        }
        return b;
    };
    const auto text = [&](std::size_t n, std::uint8_t first) {
        const auto b = counting(n, first);
        return std::string(b.begin(), b.end());
    };
    const auto bytes = [](const auto& a) { return std::vector<std::uint8_t>(a.begin(), a.end()); };
    const auto d = decode_device_info(counting(5));
    EXPECT_EQ(d, (DeviceInfo{1, 2, 0x0403, 5}));
    EXPECT_EQ(bytes(encode(d)), counting(5));
    const auto s = decode_sensor_identification(counting(29));
    EXPECT_EQ(s, (SensorIdentification{1, 2, text(21, 3), 0x18, 0x1A19, 0x1B, 0x1D1C}));
    EXPECT_EQ(bytes(encode(s)), counting(29));
    const auto l = decode_legacy_identity(counting(27));
    EXPECT_EQ(l, (LegacyIdentity{1, 2, text(21, 3), 0x18, 0x1A19, 0x1B}));
    EXPECT_EQ(bytes(encode(l)), counting(27));
    const auto f = decode_firmware_version(counting(26));
    EXPECT_EQ(f, (FirmwareVersion{1, text(25, 2)}));
    EXPECT_EQ(bytes(encode(f)), counting(26));
}

// What follows a name's terminator is no part of it: written back as zeros.
TEST(IdentityRecords, ANameEndsAtItsTerminator) {
    std::vector<std::uint8_t> in(29, 0);
    const std::string field{'A', 'B', 0, 'C', 'D'};
    std::copy(field.begin(), field.end(), in.begin() + 2);
    const auto s = decode_sensor_identification(in);
    EXPECT_EQ(s.name, "AB");
    std::vector<std::uint8_t> out(29, 0);
    out[2] = 'A';
    out[3] = 'B';
    const auto written = encode(s);
    EXPECT_EQ(std::vector<std::uint8_t>(written.begin(), written.end()), out);
}

// Each record against its bytes written out by hand: the virtual sensor encodes what the
// program decodes, so only this catches a layout fault both would share.
TEST(IdentityRecords, ExactBytesBothWays) {
    using Bytes = std::vector<std::uint8_t>;
    const auto check = [](const auto& record, const Bytes& bytes, const auto& decode) {
        const auto encoded = encode(record);
        EXPECT_EQ(Bytes(encoded.begin(), encoded.end()), bytes);
        EXPECT_EQ(decode(bytes), record);
    };
    check(DeviceInfo{0, 2, 7323, 9}, {0, 2, 0x9B, 0x1C, 9}, decode_device_info);
    Bytes id{2, 0, 'K', 'e', 'l', 'p', ' ', 'O', 'n', 'e'};
    id.resize(23);
    id.insert(id.end(), {0, 0x01, 0x02, 0, 0x0B, 0x0A});
    check(SensorIdentification{2, 0, "Kelp One", 0, 513, 0, 0x0A0B}, id,
          decode_sensor_identification);
    Bytes legacy{1, 2, 'O', 'l', 'd'};
    legacy.resize(23);
    legacy.insert(legacy.end(), {7, 0x02, 0x01, 3});
    check(LegacyIdentity{1, 2, "Old", 7, 0x0102, 3}, legacy, decode_legacy_identity);
    Bytes version{0, 'K', 'E', 'L', 'P', 'I', 'R', 'A', '_', '2', '_', '8', '_', '3'};
    version.resize(26);
    check(FirmwareVersion{0, "KELPIRA_2_8_3"}, version, decode_firmware_version);
}

TEST(IdentityRecords, TextsWithoutTerminatorStayInsideTheirFields) {
    std::array<std::uint8_t, SensorIdentification::size> bytes{};
    bytes.fill('A');
    const auto s = decode_sensor_identification(bytes);
    EXPECT_EQ(s.name, std::string(21, 'A'));
    EXPECT_EQ(s.serial_number, 0x4141);
    const auto written = encode(s);
    EXPECT_EQ(written, bytes) << "a name read without a terminator goes back as it came";

    std::array<std::uint8_t, FirmwareVersion::size> version{};
    version.fill('9');
    EXPECT_EQ(decode_firmware_version(version).text, std::string(25, '9'));

    const std::array<std::uint8_t, 4> short_record{1, 2, 3, 4};
    const auto partial = decode_sensor_identification(short_record);
    EXPECT_EQ(partial.layout, 1);
    EXPECT_EQ(partial.serial_number, 0);
    EXPECT_EQ(partial.name, std::string("\x03\x04"));
}

TEST_F(SensorFixture, ProbeReadsIdentificationAndDeviceInfo) {
    open([](const SensorCommand& r) -> std::optional<Answer> {
        if (r.code() == 260) {
            std::vector<std::uint8_t> p(29, 'N');  // a 21-character name without terminator
            p[0] = 2;
            p[1] = 0;
            p[23] = 0;
            p[24] = 0x39;  // serial 12345
            p[25] = 0x30;
            return Answer{0, p};
        }
        if (r.code() == 262) {
            return Answer{0, {0, 1, 0x8E, 0x1C, 6}};
        }
        return Answer{9, {}};
    });
    const auto sensor = probe_sensor(link);
    ASSERT_TRUE(sensor);
    EXPECT_EQ(sensor->name, std::string(20, 'N'));
    EXPECT_EQ(sensor->identification.serial_number, 12345);
    EXPECT_EQ(sensor->info.mode, kModeBootloader);
    EXPECT_EQ(sensor->info.device_type, 7310);
    EXPECT_EQ(sensor->info.bootloader_version, 6);
    EXPECT_EQ(sent().size(), 2u);
}

TEST_F(SensorFixture, ProbeTriesEachReadTwice) {
    int identification_calls = 0;
    open([&](const SensorCommand& r) -> std::optional<Answer> {
        if (r.code() == 260) {
            return ++identification_calls == 1 ? Answer{3, {}} : Answer{0, {2, 0, 'X'}};
        }
        return Answer{5, {}};
    });
    EXPECT_FALSE(probe_sensor(link)) << "device info failed twice: an unknown device";
    const auto reports = sent();
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_EQ(code_sent(0), 260);
    EXPECT_EQ(code_sent(1), 260);
    EXPECT_EQ(code_sent(2), 262);
    EXPECT_EQ(code_sent(3), 262);
}

TEST_F(SensorFixture, ProbeOfOldFirmwareUsesTheLegacyIdentity) {
    open([](const SensorCommand& r) -> std::optional<Answer> {
        if (r.code() == 256) {
            const auto b = encode(LegacyIdentity{0, 2, "Veteran", 7, 999, 8});
            return Answer{0, {b.begin(), b.end()}};
        }
        return Answer{9, {}};
    });
    const auto sensor = probe_sensor(link);
    ASSERT_TRUE(sensor);
    EXPECT_EQ(sensor->name, "Veteran");
    EXPECT_EQ(sensor->identification.serial_number, 0) << "oldest layout";
    EXPECT_EQ(sensor->info, (DeviceInfo{0, 2, 7323, 0}));
    EXPECT_EQ(DeviceTypeName(sensor->info.device_type), "Marivane KELPIRA Lab-on-Chip Sensor");
}

TEST_F(SensorFixture, FirmwareVersionTextIsBounded) {
    open([](const SensorCommand&) { return Answer{0, std::vector<std::uint8_t>(123, 'V')}; });
    EXPECT_EQ(read_firmware_version_text(link), std::string(25, 'V'));
}
