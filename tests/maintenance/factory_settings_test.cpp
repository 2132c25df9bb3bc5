// The Factory Settings dialog's controller against the emulated sensor: which stores open, the
// password, each save's bytes, read-back and message, and the refusals.
#include "maintenance/factory_settings_controller.hpp"
#include "maintenance/upgrade_controller.hpp"

#include <gtest/gtest.h>

#include "support/recording_prompter.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

namespace kelpira::maintenance {
namespace {

using namespace std::chrono_literals;
using kelpira::testing::RecordingPrompter;
using virtual_sensor::FaultKind;
using virtual_sensor::LoggedCommand;
using virtual_sensor::RunningCode;
using virtual_sensor::VirtualSensorOptions;
using Bytes = std::vector<std::uint8_t>;
using Codes = std::vector<std::uint16_t>;

VirtualSensorOptions sensor_options(RunningCode running = RunningCode::firmware,
                                    std::uint32_t board_variant = 6) {
    VirtualSensorOptions o;
    o.running = running;
    o.board_variant = board_variant;
    o.board_serial_number = 201;
    return o;
}

class FactorySettingsTest : public virtual_sensor::testing::SensorFixture {
  protected:
    // Opens the dialog's controller on a sensor served with `options`, then forgets the reads.
    FactorySettingsController& open(VirtualSensorOptions options = sensor_options(),
                                    std::chrono::milliseconds timeout = 5000ms) {
        start(std::move(options), timeout);
        EXPECT_TRUE(factory.open());
        sensor->clear_log();
        return factory;
    }
    void expect_message(const std::string& caption, const std::string& text) {
        ASSERT_EQ(prompter.prompts.size(), 1u);
        EXPECT_EQ(prompter.prompts[0].caption, caption);
        EXPECT_EQ(prompter.prompts[0].text, text);
    }

    RecordingPrompter prompter;
    FactorySettingsController factory{link, prompter};
};

TEST_F(FactorySettingsTest, OpeningReadsEveryStoreTheSensorHas) {
    start(sensor_options());
    ASSERT_TRUE(factory.open());
    EXPECT_EQ(sensor->logged_codes(), (Codes{262, 260, 292, 295, 322}));
    EXPECT_EQ(factory.fields().name, "Virtual Sensor");
    EXPECT_EQ(factory.fields().serial, "1001");
    EXPECT_EQ(factory.fields().board_serial, "201");
    EXPECT_EQ(factory.fram().board_serial_number, 201);
    EXPECT_EQ(factory.fram().pump_stroke_meter, 18250u);
    EXPECT_EQ(factory.fields().driver_serial, "17");
    EXPECT_EQ(factory.mode(), 2);
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_EQ(factory.enabling(), FactoryEnabling{}) << "locked until the password is typed";
}

TEST_F(FactorySettingsTest, BootloaderUnlocksTheFlashOnly) {
    open(sensor_options(RunningCode::bootloader));
    factory.type_password("quoll");
    EXPECT_EQ(factory.enabling(), (FactoryEnabling{.flash = true}));
    EXPECT_FALSE(factory.fram_save_enabled());
    EXPECT_FALSE(factory.nvram_save_enabled());
    factory.reset_stroke_meter();
    factory.save_fram();
    factory.save_nvram();
    EXPECT_TRUE(sensor->log().empty()) << "nothing the bootloader does not have is sent";
    EXPECT_TRUE(factory.fields().driver_serial.empty());
}

TEST_F(FactorySettingsTest, BoardVariantWithoutNvramKeepsItsGroupDisabled) {
    start(sensor_options(RunningCode::firmware, 5));
    ASSERT_TRUE(factory.open());
    EXPECT_EQ(sensor->logged_codes(), (Codes{262, 260, 292, 295})) << "no NVRAM read";
    factory.type_password("quoll");
    EXPECT_EQ(factory.enabling(), (FactoryEnabling{.flash = true, .fram = true, .upgrade = true}));
    EXPECT_TRUE(factory.fields().driver_serial.empty()) << "no value shown";
}

TEST_F(FactorySettingsTest, ACompletedBootloaderUpgradeClosesTheDialog) {
    open(sensor_options(RunningCode::firmware));
    std::vector<std::uint8_t> modes;
    for (const int result : {kUpgradeNotDone, kUpgradeDone}) {
        const bool closes = factory.upgrade([&](std::uint8_t mode) {
            modes.push_back(mode);
            return result;
        });
        EXPECT_EQ(closes, result == kUpgradeDone);
    }
    EXPECT_EQ(modes, (std::vector<std::uint8_t>{2, 2}));
}

TEST(FactoryPassword, CapitalsUnlockAndOneExtraCharacterLocks) {
    RecordingPrompter prompter;
    link::InProcessHidBackend backend;
    link::SensorLink link{backend};
    FactorySettingsController factory{link, prompter};
    factory.type_password("QUOLL");
    EXPECT_EQ(factory.password(), "quoll") << "the field lower-cases what is typed";
    EXPECT_TRUE(factory.unlocked());
    factory.type_password("QuOlLs");
    EXPECT_FALSE(factory.unlocked());
    factory.type_password("quol");
    EXPECT_FALSE(factory.unlocked());
    factory.type_password(std::string(30, 'X'));
    EXPECT_EQ(factory.password(), std::string(23, 'x')) << "the field holds 23 characters";
}

TEST_F(FactorySettingsTest, FlashSaveWritesAFreshRecordAndReadsItBack) {
    open();
    factory.type_password("quoll");
    factory.fields() = {
        .name = "Bench 9", .serial = "70000", .board_serial = "255", .driver_serial = "17"};
    ASSERT_TRUE(factory.flash_save_enabled());
    factory.save_flash();

    Bytes record(29, 0);
    record[0] = 2;
    const std::string name = "Bench 9";
    std::copy(name.begin(), name.end(), record.begin() + 2);
    record[24] = 0xFF;  // 70000 is stored as 65535
    record[25] = 0xFF;
    record[27] = 255;
    EXPECT_EQ(sensor->log(), (std::vector<LoggedCommand>{{261, record}, {260, {}}}));
    EXPECT_EQ(factory.fields().serial, "65535") << "refilled from the read-back";
    expect_message("Save (Processing Board FLASH)",
                   "Saved Processing Board FLASH settings to sensor");
}

TEST_F(FactorySettingsTest, BoardSerialAboveOneByteIsRedAndNotSaved) {
    open();
    factory.type_password("quoll");
    factory.fields().board_serial = "300";
    EXPECT_TRUE(factory.board_serial_too_large());
    EXPECT_FALSE(factory.flash_save_enabled());
    factory.save_flash();
    EXPECT_TRUE(sensor->log().empty()) << "never stored as 44";
    factory.fields().board_serial = "99999999999";
    EXPECT_TRUE(factory.board_serial_too_large()) << "past 32 bits too";
}

TEST_F(FactorySettingsTest, SensorSerialThatIsNoNumberIsRedAndNotSaved) {
    open();
    factory.type_password("quoll");
    for (const char* typed : {"1001a", "", "-1"}) {
        factory.fields().serial = typed;
        EXPECT_TRUE(factory.serial_unreadable()) << typed;
        EXPECT_FALSE(factory.flash_save_enabled()) << typed;
        factory.save_flash();
    }
    EXPECT_TRUE(sensor->log().empty()) << "never stored as 0";
    factory.fields().serial = "70000";
    EXPECT_FALSE(factory.serial_unreadable()) << "a number: stored as 65535";
    EXPECT_TRUE(factory.flash_save_enabled());
}

TEST_F(FactorySettingsTest, FlashWriteRefusedKeepsTheEntries) {
    auto o = sensor_options();
    o.old_identification_write = true;
    open(o);
    factory.type_password("quoll");
    factory.fields().name = "Renamed";
    factory.save_flash();
    EXPECT_EQ(sensor->logged_codes(), (Codes{261})) << "no read-back after a refused write";
    EXPECT_EQ(factory.fields().name, "Renamed");
    expect_message("Save (Processing Board FLASH)",
                   "Unable to save Processing Board FLASH settings to sensor");
}

TEST_F(FactorySettingsTest, ResetThenCloseLeavesTheStrokeMeter) {
    open();
    const auto before = sensor->record(292);
    factory.type_password("quoll");
    factory.reset_stroke_meter();
    EXPECT_EQ(factory.fram().pump_stroke_meter, 0u);
    EXPECT_TRUE(sensor->log().empty());
    EXPECT_EQ(sensor->record(292), before);
}

TEST_F(FactorySettingsTest, FramSaveSendsTheShownValues) {
    open();
    factory.type_password("quoll");
    factory.reset_stroke_meter();
    factory.save_fram();
    const Bytes record{2, 201, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(sensor->log(), (std::vector<LoggedCommand>{{293, record}, {292, {}}}));
    EXPECT_EQ(sensor->record(292), record);
    expect_message("Save (Processing Board FRAM)",
                   "Saved Processing Board FRAM settings to sensor");
}

TEST_F(FactorySettingsTest, FramReadBackLostKeepsTheShownValues) {
    open(sensor_options(), 200ms);
    sensor->inject(292, {FaultKind::no_answer});
    factory.type_password("quoll");
    factory.reset_stroke_meter();
    factory.save_fram();
    EXPECT_EQ(sensor->logged_codes(), (Codes{293, 292}));
    EXPECT_EQ(factory.fram().pump_stroke_meter, 0u);
    expect_message("Save (Processing Board FRAM)",
                   "Unable to save Processing Board FRAM settings to sensor");
}

TEST_F(FactorySettingsTest, NvramSaveWritesTheDriverBoardNumber) {
    open();
    factory.type_password("quoll");
    factory.fields().driver_serial = "256";
    EXPECT_TRUE(factory.driver_serial_too_large());
    EXPECT_FALSE(factory.nvram_save_enabled()) << "one byte cannot hold it";
    factory.fields().driver_serial = "42";
    factory.save_nvram();
    EXPECT_EQ(sensor->log(), (std::vector<LoggedCommand>{{323, {0, 42, 0, 0, 0}}, {322, {}}}));
    EXPECT_EQ(factory.fields().driver_serial, "42");
    expect_message("Save (Driver Board NVRAM)", "Saved Driver Board NVRAM settings to sensor");
}

TEST_F(FactorySettingsTest, UnreadableStoreClosesTheDialog) {
    start(sensor_options(), 200ms);
    sensor->inject(295, {FaultKind::no_answer});
    EXPECT_FALSE(factory.open());
    EXPECT_EQ(sensor->logged_codes(), (Codes{262, 260, 292, 295}));
    expect_message("Factory Settings", "Unable to retrieve factory settings from sensor");
}

}  // namespace
}  // namespace kelpira::maintenance
