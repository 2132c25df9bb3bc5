// The emulated sensor's identity over a real link: firmware and bootloader, the restart into
// the firmware, the legacy identity profile, unknown commands and the command log.
#include <gtest/gtest.h>

#include <string>

#include "common/bytes.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

using namespace kelpira;
using namespace kelpira::virtual_sensor;
using namespace kelpira::virtual_sensor::testing;

namespace {

std::string text_at(const link::SensorCommand& c, std::size_t offset, std::size_t width) {
    common::ByteReader r(c.payload());
    r.skip(offset);
    return r.text(width);
}

std::uint16_t u16_at(const link::SensorCommand& c, std::size_t offset) {
    return static_cast<std::uint16_t>(c.payload()[offset] | (c.payload()[offset + 1] << 8));
}

using IdentityTest = SensorFixture;

}  // namespace

TEST_F(IdentityTest, FirmwareAnswersIdentificationDeviceInfoAndVersion) {
    VirtualSensorOptions o;
    o.name = "Demo Sensor";
    o.serial_number = 4321;
    o.board_serial_number = 77;
    o.device_type = 7323;
    o.bootloader_version = 5;
    o.firmware_version = "KELPIRA_2_7_28";
    start(o);

    auto id = command(260);
    ASSERT_EQ(send(id), 0);
    EXPECT_EQ(id.code(), 260);
    EXPECT_EQ(id.payload()[0], 2) << "layout";
    EXPECT_EQ(text_at(id, 2, 21), "Demo Sensor");
    EXPECT_EQ(u16_at(id, 24), 4321);
    EXPECT_EQ(u16_at(id, 27), 77);

    auto info = command(262);
    ASSERT_EQ(send(info), 0);
    EXPECT_EQ(info.payload()[0], 0);
    EXPECT_EQ(info.payload()[1], 2) << "firmware running";
    EXPECT_EQ(u16_at(info, 2), 7323);
    EXPECT_EQ(info.payload()[4], 5);

    auto version = command(294);
    ASSERT_EQ(send(version), 0);
    EXPECT_EQ(text_at(version, 1, 25), "KELPIRA_2_7_28");
}

TEST_F(IdentityTest, NameOfTwentyCharactersKeepsItsTerminatorAndLongerIsCut) {
    VirtualSensorOptions o;
    o.name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    start(o);
    auto id = command(260);
    ASSERT_EQ(send(id), 0);
    EXPECT_EQ(text_at(id, 2, 21), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(id.payload()[22], 0);
}

TEST_F(IdentityTest, SetIdentificationIsReadBackWholeAndWrongLengthAnswers4) {
    start();
    link::SensorCommand set = command(261);
    set.set_length(29);
    const std::string name = "Renamed";
    set.payload()[0] = 2;
    set.payload()[1] = 9;
    std::copy(name.begin(), name.end(), set.payload().begin() + 2);
    set.payload()[23] = 0x33;
    set.payload()[24] = 0x34;
    set.payload()[25] = 0x12;
    set.payload()[26] = 0x44;
    set.payload()[27] = 0x02;
    set.payload()[28] = 0x01;
    const auto written = set.bytes;  // the transaction overwrites the buffer with the answer
    ASSERT_EQ(send(set), 0);

    auto get = command(260);
    ASSERT_EQ(send(get), 0);
    EXPECT_TRUE(std::equal(get.payload().begin(), get.payload().begin() + 29, written.begin() + 6));

    auto short_set = command(261);
    short_set.set_length(28);
    EXPECT_EQ(send(short_set), link::kResultBadLength);
    auto again = command(260);
    ASSERT_EQ(send(again), 0);
    EXPECT_EQ(text_at(again, 2, 21), "Renamed") << "a refused write changes nothing";
}

TEST_F(IdentityTest, BootloaderKnowsOnlyIdentityThenStartsTheFirmware) {
    VirtualSensorOptions o;
    o.running = RunningCode::bootloader;
    o.bootloader_version = 4;
    start(o);

    auto info = command(262);
    ASSERT_EQ(send(info), 0);
    EXPECT_EQ(info.payload()[1], 1) << "bootloader running";
    EXPECT_EQ(info.payload()[4], 4);
    auto id = command(260);
    EXPECT_EQ(send(id), 0);
    for (const std::uint16_t code : std::initializer_list<std::uint16_t>{294, 295, 400, 418, 444}) {
        auto c = command(code);
        EXPECT_EQ(send(c), link::kResultUnknownCommand) << code;
    }

    auto go = command(258);
    ASSERT_EQ(send(go), 0) << "the answer reaches the PC before the restart";
    EXPECT_EQ(arrivals.load(), 1) << "the device came back";
    EXPECT_EQ(sensor->running(), RunningCode::firmware);

    link.Close();
    ASSERT_EQ(link.Open(kPath, std::chrono::milliseconds(3000)), 0);
    auto after = command(262);
    ASSERT_EQ(send(after), 0);
    EXPECT_EQ(after.payload()[1], 2);
    auto status = command(418);
    EXPECT_EQ(send(status), 0);
}

TEST_F(IdentityTest, FirmwareDoesNotKnowTheBootloadersStartCommand) {
    start();
    auto go = command(258);
    EXPECT_EQ(send(go), link::kResultUnknownCommand);
    EXPECT_EQ(arrivals.load(), 0);
    EXPECT_EQ(sensor->running(), RunningCode::firmware);
}

TEST_F(IdentityTest, LegacyProfileAnswers9AndServesTheLegacyRecord) {
    VirtualSensorOptions o;
    o.legacy_identity = true;
    o.name = "Old One";
    o.serial_number = 300;
    o.bootloader_version = 2;
    o.device_kind = 7;
    start(o);
    for (const std::uint16_t code : std::initializer_list<std::uint16_t>{260, 261, 262}) {
        auto c = command(code);
        if (code == 261) {
            c.set_length(29);
        }
        EXPECT_EQ(send(c), link::kResultUnknownCommand) << code;
    }
    auto legacy = command(256);
    ASSERT_EQ(send(legacy), 0);
    EXPECT_EQ(legacy.payload()[0], 1) << "legacy layout";
    EXPECT_EQ(legacy.payload()[1], 2) << "firmware running";
    EXPECT_EQ(text_at(legacy, 2, 21), "Old One");
    EXPECT_EQ(legacy.payload()[23], 7);
    EXPECT_EQ(u16_at(legacy, 24), 300);
    EXPECT_EQ(legacy.payload()[26], 2);

    // A write changes name and serial number; kind and bootloader version are the hardware's.
    auto set = command(257);
    set.set_length(27);
    set.payload()[0] = 1;
    const std::string name = "New Name";
    std::copy(name.begin(), name.end(), set.payload().begin() + 2);
    set.payload()[24] = 0x39;
    set.payload()[25] = 0x05;
    ASSERT_EQ(send(set), 0);
    auto back = command(256);
    ASSERT_EQ(send(back), 0);
    EXPECT_EQ(text_at(back, 2, 21), "New Name");
    EXPECT_EQ(u16_at(back, 24), 0x0539);
    EXPECT_EQ(back.payload()[23], 7);
    EXPECT_EQ(back.payload()[26], 2);
}

TEST_F(IdentityTest, OldestLegacyLayoutHasNoSerialNumberNorBootloaderVersion) {
    VirtualSensorOptions o;
    o.legacy_identity = true;
    o.legacy_layout = 0;
    o.running = RunningCode::bootloader;
    start(o);
    auto legacy = command(256);
    ASSERT_EQ(send(legacy), 0);
    EXPECT_EQ(legacy.payload()[0], 0);
    EXPECT_EQ(legacy.payload()[1], 1) << "bootloader running";
    EXPECT_EQ(text_at(legacy, 2, 21), "Virtual Sensor");
    EXPECT_EQ(u16_at(legacy, 24), 0);
    EXPECT_EQ(legacy.payload()[26], 0);
}

TEST_F(IdentityTest, UnknownCodesAnswer9WithTheirCodeAndSequence) {
    start();
    for (const std::uint16_t code :
         std::initializer_list<std::uint16_t>{0, 255, 263, 627, 0xFFFF}) {
        auto c = command(code);
        ASSERT_EQ(link.Transact(c), link::kResultSuccess);
        EXPECT_EQ(c.result(), link::kResultUnknownCommand) << code;
        EXPECT_EQ(c.code(), code);
        EXPECT_EQ(c.sequence(), backend.written(kPath).back()[3]);
    }
}

TEST_F(IdentityTest, LogHoldsEveryCommandWithItsStatedPayload) {
    start();
    auto a = command(262);
    auto b = command(404, {2});
    auto c = command(437, {5});
    c.payload()[1] = 0xEE;  // beyond the stated length: not part of the command
    auto d = command(999, {1, 2, 3});
    send(a);
    send(b);
    send(c);
    send(d);
    const std::vector<LoggedCommand> want{{262, {}}, {404, {2}}, {437, {5}}, {999, {1, 2, 3}}};
    EXPECT_EQ(sensor->log(), want);
    EXPECT_EQ(sensor->logged_codes(), (std::vector<std::uint16_t>{262, 404, 437, 999}));
    sensor->clear_log();
    EXPECT_TRUE(sensor->log().empty());
}
