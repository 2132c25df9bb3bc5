// "Configure Platform Defaults", "Configure RS232" and "Configure RS485" against the emulated
// sensor: what the controls show, the exact records written, the presets of a platform change
// and every message.
#include <gtest/gtest.h>

#include "config/platform_settings_controller.hpp"
#include "link/platform_commands.hpp"
#include "support/recording_prompter.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

namespace kelpira::config {
namespace {

using namespace std::chrono_literals;
using kelpira::testing::RecordingPrompter;
using virtual_sensor::FaultKind;
using Bytes = std::vector<std::uint8_t>;
using Codes = std::vector<std::uint16_t>;

template <std::size_t N>
Bytes bytes_of(const std::array<std::uint8_t, N>& a) {
    return Bytes(a.begin(), a.end());
}

class PlatformDialogsTest : public virtual_sensor::testing::SensorFixture {
  protected:
    // The payload of the one write the sensor received.
    Bytes written(std::uint16_t code) {
        for (const auto& l : sensor->log()) {
            if (l.code == code) {
                return l.payload;
            }
        }
        ADD_FAILURE() << "no command " << code;
        return {};
    }
    void expect_messages(const std::vector<std::string>& texts, const std::string& caption) {
        EXPECT_EQ(prompter.texts(), texts);
        for (const auto& p : prompter.prompts) {
            EXPECT_EQ(p.caption, caption);
        }
    }
    RecordingPrompter prompter;
};

TEST_F(PlatformDialogsTest, PlatformDefaultsShownWrittenAndReadBack) {
    start();
    records::PlatformDefaults odd = records::default_platform_defaults();
    odd.direction = 9;
    odd.depth_m = 12.3456f;
    ASSERT_EQ(link::set_platform_defaults(link, records::encode(odd)), 0);
    sensor->clear_log();

    PlatformDefaultsControls c;
    ASSERT_TRUE(open_platform_defaults(c, link, prompter));
    EXPECT_EQ(c.direction, 9) << "direction 9 is kept: the list shows an entry of its own";
    EXPECT_EQ(c.salinity_psu.text, "35.000");
    EXPECT_EQ(c.depth_m.text, "12.346");
    EXPECT_EQ(c.p3.text, "100");

    c.dive_number.text = "70000";
    c.salinity_psu.text = "34.5xyz";
    c.temperature_c.text = std::string(22, ' ') + "12";  // the 24th character is past the field
    c.oxygen_ml_l.text = "";
    c.depth_m.text = "-1e1";
    c.direction = records::kDirectionDiving;
    c.time_offset_s.text = "-3600";
    c.p1.text = " +7 ";
    c.p2.text = "-99999999999";
    c.p3.text = "- 5";
    bool shown_before_message = false;
    save_platform_defaults_settings(c, link, prompter, [&] {
        shown_before_message = prompter.prompts.empty() && c.dive_number.text == "65535";
    });

    EXPECT_TRUE(shown_before_message);
    EXPECT_EQ(sensor->logged_codes(), (Codes{440, 441, 440}));
    records::PlatformDefaults expected;
    expected.reserved0 = 1;
    expected.dive_number = 65535;  // saturated, never wrapped
    expected.salinity_psu = 34.5f;
    expected.temperature_c = 1.0f;
    expected.depth_m = -10.0f;
    expected.direction = records::kDirectionDiving;
    expected.time_offset_s = -3600;
    expected.p1 = 7;
    expected.p2 = -2147483647 - 1;
    expected.p3 = 0;
    EXPECT_EQ(written(441), bytes_of(records::encode(expected)));
    EXPECT_EQ(c.dive_number.text, "65535") << "the controls show what the sensor kept";
    EXPECT_EQ(c.time_offset_s.text, "-3600");
    EXPECT_EQ(c.oxygen_ml_l.text, "0.000");
    expect_messages({"Settings saved"}, "Save");
}

TEST_F(PlatformDialogsTest, Rs232StoredProtocolTheListDoesNotOfferIsKept) {
    virtual_sensor::VirtualSensorOptions o;
    o.rs232_protocol = records::kRs232Seaglider;
    start(o);
    link::RecordBytes<records::Rs232Config::size> stored{};
    ASSERT_EQ(link::get_rs232_config(link, stored), 0);
    records::Rs232Config before = records::decode_rs232_config(stored);
    before.mode = records::kRs232ModeDebug;
    before.parity = records::kParityEven;
    ASSERT_EQ(link::set_rs232_config(link, records::encode(before)), 0);
    sensor->clear_log();

    Rs232Controls c;
    ASSERT_TRUE(open_rs232(c, link, prompter));
    EXPECT_EQ(c.protocol, records::kRs232Seaglider);
    EXPECT_EQ(c.protocols.back(), (ListChoice{records::kRs232Seaglider, "Seaglider"}));
    EXPECT_EQ(c.parity, records::kParityEven);
    EXPECT_EQ(c.mode, records::kRs232ModeDebug);
    save_rs232_settings(c, link, prompter);
    EXPECT_EQ(sensor->logged_codes(), (Codes{448, 449, 448}));
    EXPECT_EQ(written(449), bytes_of(records::encode(before)))
        << "saved untouched, nothing changes";
    expect_messages({"Settings saved"}, "Save");
}

TEST_F(PlatformDialogsTest, Rs232PlatformChangeResetsTheLineButNotTheMode) {
    start();
    Rs232Controls c;
    ASSERT_TRUE(open_rs232(c, link, prompter));
    EXPECT_EQ(c.protocol, records::kRs232GenericPolled);
    EXPECT_EQ(c.protocols.size(), 3u);
    c.baud = 115200;
    c.parity = records::kParitySpace;
    c.data_bits = 7;
    c.stop_bits = 2;
    c.mode = records::kRs232ModeDebug;
    rs232_platform_chosen(c, records::kRs232GenericPolled);
    EXPECT_EQ(c.baud, 115200u) << "the shown platform picked again changes nothing";
    rs232_platform_chosen(c, records::kRs232GenericStreaming);
    EXPECT_EQ(c.baud, 9600u);
    EXPECT_EQ(c.parity, records::kParityNone);
    EXPECT_EQ(c.data_bits, 8);
    EXPECT_EQ(c.stop_bits, 1);
    EXPECT_FALSE(rs232_mode_enabled(c));
    sensor->clear_log();
    save_rs232_settings(c, link, prompter);
    EXPECT_EQ(written(449),
              (Bytes{0x00, 0x80, 0x25, 0x00, 0x00, 0x04, 0x08, 0x01, 0x0D, 0x00, 0x00, 0x00, 0x01}))
        << "parity None is stored as 4; the disabled mode is saved as shown";

    rs232_platform_chosen(c, records::kRs232None);
    c.parity = records::kParityEven;
    EXPECT_TRUE(rs232_mode_enabled(c));
    EXPECT_EQ(read_rs232(c).parity, 0) << "Even is stored as 0";
}

TEST_F(PlatformDialogsTest, Rs485PlatformChangePresetsAndAddressCheck) {
    start();
    Rs485Controls c;
    ASSERT_TRUE(open_rs485(c, link, prompter));
    EXPECT_EQ(c.slave_address.text, "0");
    c.data_bits = 7;
    c.stop_bits = 2;
    EXPECT_FALSE(rs485_address_red(c)) << "only a hub checks its address";
    rs485_platform_chosen(c, records::kRs485SenseOceanHub);
    EXPECT_EQ(c.baud, 19200u);
    EXPECT_EQ(c.parity, records::kParityEven);
    EXPECT_EQ(c.slave_address.text, "64");
    EXPECT_EQ(c.poll_rate_s.text, "300");
    EXPECT_EQ(c.data_bits, 7);
    EXPECT_EQ(c.stop_bits, 2);
    for (const auto& [address, red] : std::vector<std::pair<std::string, bool>>{
             {"63", true}, {"64", false}, {"71", false}, {"72", true}, {"", true}, {"320", true}}) {
        c.slave_address.text = address;
        EXPECT_EQ(rs485_address_red(c), red) << address;
    }
    c.slave_address.text = "71";
    sensor->clear_log();
    save_rs485_settings(c, link, prompter);
    EXPECT_EQ(written(465), (Bytes{0x00, 0x00, 0x4B, 0x00, 0x00, 0x00, 0x07, 0x02, 0x01, 0x00, 0x00,
                                   0x00, 0x47, 0x2C, 0x01, 0x00, 0x00}));
    expect_messages({"Settings saved"}, "Save");

    rs485_platform_chosen(c, records::kRs485StormLogger);
    EXPECT_EQ(c.baud, 9600u);
    EXPECT_EQ(c.parity, records::kParityNone);
    EXPECT_EQ(c.slave_address.text, "0");
    EXPECT_EQ(c.poll_rate_s.text, "0");
    c.slave_address.text = "300";
    EXPECT_EQ(read_rs485(c).slave_address, 255) << "the address saturates at 8 bits";
}

TEST_F(PlatformDialogsTest, OpeningFailuresCloseWithTheirMessages) {
    start({}, 200ms);
    sensor->inject(440, {FaultKind::no_answer}, 1);
    sensor->inject(448, {FaultKind::no_answer}, 1);
    sensor->inject(464, {FaultKind::no_answer}, 1);
    PlatformDefaultsControls p;
    Rs232Controls a;
    Rs485Controls b;
    EXPECT_EQ(load_platform_defaults(p, link), link::kResultNoExchange);
    EXPECT_FALSE(open_rs232(a, link, prompter));
    EXPECT_FALSE(open_rs485(b, link, prompter));
    sensor->inject(440, {FaultKind::no_answer}, 1);
    EXPECT_FALSE(open_platform_defaults(p, link, prompter));
    ASSERT_EQ(prompter.prompts.size(), 3u);
    EXPECT_EQ(prompter.prompts[0].caption, "RS232 Configuration");
    EXPECT_EQ(prompter.prompts[0].text, "Unable to retrieve RS232 settings from device");
    EXPECT_EQ(prompter.prompts[1].caption, "RS485 Configuration");
    EXPECT_EQ(prompter.prompts[1].text, "Unable to retrieve RS485 settings from device");
    EXPECT_EQ(prompter.prompts[2].caption, "PLATFORM Configuration");
    EXPECT_EQ(prompter.prompts[2].text, "Unable to retrieve PLATFORM settings from device");
    EXPECT_TRUE(a.protocols.empty()) << "nothing shown after a failed read";
}

TEST_F(PlatformDialogsTest, FailedWriteOrReadBack) {
    start({}, 200ms);
    Rs485Controls c;
    ASSERT_TRUE(open_rs485(c, link, prompter));
    c.slave_address.text = "5";
    sensor->clear_log();
    sensor->inject(465, {FaultKind::no_answer}, 1);
    bool shown = false;
    save_rs485_settings(c, link, prompter, [&] { shown = true; });
    EXPECT_FALSE(shown);
    EXPECT_EQ(sensor->logged_codes(), (Codes{465})) << "no read-back after a failed write";
    EXPECT_EQ(c.slave_address.text, "5") << "the controls keep what was typed";

    PlatformDefaultsControls p;
    ASSERT_TRUE(open_platform_defaults(p, link, prompter));
    sensor->inject(440, {FaultKind::no_answer}, 1);
    save_platform_defaults_settings(p, link, prompter);
    expect_messages({"Failed to save settings", "Failed to save settings"}, "Save");
}

}  // namespace
}  // namespace kelpira::config
