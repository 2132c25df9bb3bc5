// "Configure Sensor Identification" and "Configure Thermistors" against the emulated sensor:
// entry checks, the read and write sequences, shown texts and messages.
#include <gtest/gtest.h>

#include "config/sensor_identification_controller.hpp"
#include "config/thermistors_controller.hpp"
#include "link/identity_commands.hpp"
#include "records/chemistry_transfer.hpp"
#include "support/recording_prompter.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

namespace kelpira::config {
namespace {

using namespace std::chrono_literals;
using kelpira::testing::RecordingPrompter;
using virtual_sensor::FaultKind;
using Codes = std::vector<std::uint16_t>;

class ConfigDialogsTest : public virtual_sensor::testing::SensorFixture {
  protected:
    void expect_message(const std::string& caption, const std::string& text) {
        ASSERT_EQ(prompter.prompts.size(), 1u);
        EXPECT_EQ(prompter.prompts[0].caption, caption);
        EXPECT_EQ(prompter.prompts[0].text, text);
    }
    RecordingPrompter prompter;
};

TEST(IdentificationEntries, RedWhileTooLongOrTooLarge) {
    IdentificationControls c{std::string(21, 'n'), "65535", {}};
    EXPECT_TRUE(name_too_long(c));
    EXPECT_FALSE(identification_save_enabled(c));
    c.name.pop_back();
    EXPECT_TRUE(identification_save_enabled(c));
    c.serial = "70000";
    EXPECT_TRUE(serial_red(c));
    EXPECT_FALSE(identification_save_enabled(c));
}

TEST_F(ConfigDialogsTest, IdentificationSaveReadsWritesAndReadsBack) {
    start();
    IdentificationControls c;
    ASSERT_TRUE(open_identification(c, link, prompter));
    EXPECT_EQ(c.name, "Virtual Sensor");
    EXPECT_EQ(c.serial, "1001");
    sensor->clear_log();
    c = {"Bench Unit 7", "4242", {}};
    save_identification(c, link, prompter);
    EXPECT_EQ(sensor->logged_codes(), (Codes{260, 261, 260}));
    link::SensorIdentification id;
    ASSERT_EQ(link::get_sensor_identification(link, id), 0);
    EXPECT_EQ(id.name, "Bench Unit 7");
    EXPECT_EQ(id.serial_number, 4242);
    EXPECT_EQ(id.board_serial_number, 201) << "bytes the dialog does not edit are kept";
    expect_message("Save", "Settings saved");
}

// The field shows the name made visible; an untouched name goes back byte for byte (21 bytes
// without a terminator included), a typed escape is the byte it names.
TEST_F(ConfigDialogsTest, IdentificationKeepsTheNamesBytesUntilEdited) {
    start();
    link::SensorIdentification id;
    ASSERT_EQ(link::get_sensor_identification(link, id), 0);
    for (const std::string& held : {std::string("\xb5mol \xff \\"), std::string(21, 'n')}) {
        id.name = held;
        ASSERT_EQ(link::set_sensor_identification(link, id), 0);
        IdentificationControls c;
        ASSERT_TRUE(open_identification(c, link, prompter));
        EXPECT_EQ(c.name, held.size() == 21 ? held : "\\xB5mol \\xFF \\\\");
        EXPECT_TRUE(identification_save_enabled(c));
        save_identification(c, link, prompter);
        link::SensorIdentification back;
        ASSERT_EQ(link::get_sensor_identification(link, back), 0);
        EXPECT_EQ(back.name, held);
    }
    IdentificationControls c;
    ASSERT_TRUE(open_identification(c, link, prompter));
    c.name = "\\xB5mol\\\\";
    save_identification(c, link, prompter);
    ASSERT_EQ(link::get_sensor_identification(link, id), 0);
    EXPECT_EQ(id.name, "\xb5mol\\");
}

TEST_F(ConfigDialogsTest, IdentificationOnFirmwareTooOldToWriteIt) {
    virtual_sensor::VirtualSensorOptions o;
    o.old_identification_write = true;
    start(o);
    IdentificationControls c{"New", "1", {}};
    save_identification(c, link, prompter);
    EXPECT_EQ(sensor->logged_codes(), (Codes{260, 261}));
    expect_message("Save", "Failed to save settings (firmware is too old for GUI)");
}

TEST_F(ConfigDialogsTest, IdentificationUnreadable) {
    start({}, 200ms);
    sensor->inject(260, {FaultKind::no_answer});
    IdentificationControls c;
    EXPECT_FALSE(open_identification(c, link, prompter));
    save_identification(c, link, prompter);
    ASSERT_EQ(prompter.prompts.size(), 2u);
    EXPECT_EQ(prompter.prompts[0].caption, "Configure Sensor Name");
    EXPECT_EQ(prompter.prompts[0].text, "Unable to retrieve Sensor Name from device");
    EXPECT_EQ(prompter.prompts[1].text, "Failed to save settings");
    EXPECT_EQ(sensor->logged_codes(), (Codes{260, 260})) << "nothing written";
}

TEST(ThermistorGroup, ShownAndReadBack) {
    records::ThermistorConfig r;
    r.input_channel = 9;
    r.a3 = -0.5f;
    r.a2 = 0;
    r.a1 = 12.25f;
    r.a0 = 1e-3f;
    auto c = show_thermistor(r);
    EXPECT_EQ(c.input_channel.choices.at(*c.input_channel.selected).text, "9")
        << "no entry has 9: one of its own, so that it is kept";
    const std::array<std::string, 4> shown{"-0.50000", "0.00000", "12.25000", "0.00100"};
    const std::array<std::string, 4> typed{"1.5", "abc", std::string(23, ' ') + "7", "-2e1x"};
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(c.coefficients[k].text, shown[k]);
        c.coefficients[k].text = typed[k];
    }
    c.input_channel.selected = 3;
    EXPECT_EQ(read_thermistor(c), (records::ThermistorConfig{0, 3, 1.5f, 0.0f, 0.0f, -20.0f}));
}

TEST_F(ConfigDialogsTest, ThermistorChannelNineIsWrittenBackAsRead) {
    start();
    records::ThermistorConfig odd;
    odd.input_channel = 9;
    odd.a1 = 2.5f;
    ASSERT_EQ(records::set_thermistor_config(link, 1, odd), 0);
    sensor->clear_log();

    ThermistorsControls c;
    ASSERT_TRUE(open_thermistors(c, link, prompter));
    EXPECT_EQ(common::selected_value(c[1].input_channel), 9u);
    EXPECT_EQ(common::selected_value(c[0].input_channel), 5u);
    save_thermistors(c, link, prompter);

    const auto log = sensor->log();
    Codes codes;
    std::vector<std::uint8_t> index;
    for (const auto& l : log) {
        codes.push_back(l.code);
        index.push_back(l.payload.at(0));
    }
    EXPECT_EQ(codes, (Codes{404, 404, 404, 405, 405, 405, 404, 404, 404}));
    EXPECT_EQ(index, (std::vector<std::uint8_t>{0, 1, 2, 0, 1, 2, 0, 1, 2}));
    records::ThermistorConfig back;
    ASSERT_EQ(records::get_thermistor_config(link, 1, back), 0);
    EXPECT_EQ(back.input_channel, 9);
    EXPECT_EQ(back.a1, 2.5f);
    expect_message("Save", "Settings saved");
}

TEST_F(ConfigDialogsTest, ThermistorFailures) {
    start({}, 200ms);
    ThermistorsControls c;
    sensor->inject(405, {FaultKind::no_answer}, 1);
    save_thermistors(c, link, prompter);
    EXPECT_EQ(sensor->logged_codes(), (Codes{405, 404, 404, 404}))
        << "writing stops at the first failure; all three are read back";
    sensor->inject(404, {FaultKind::no_answer}, 1);
    EXPECT_FALSE(open_thermistors(c, link, prompter));
    ASSERT_EQ(prompter.prompts.size(), 2u);
    EXPECT_EQ(prompter.prompts[0].text,
              "Failed to save settings\nThermistor 1 not written: no answer (status 14), the "
              "sensor may hold either; thermistor 2 not tried; thermistor 3 not tried");
    EXPECT_EQ(prompter.prompts[1].caption, "Thermistors Configuration");
    EXPECT_EQ(prompter.prompts[1].text, "Unable to retrieve thermistors settings from device");
}

}  // namespace
}  // namespace kelpira::config
