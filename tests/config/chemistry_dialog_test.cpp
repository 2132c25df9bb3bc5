// The chemistry dialog against an emulated sensor: which tab opens, the messages with their
// captions, and the exact commands the sensor receives on opening, tab changes and saving.
#include "config/chemistry_controller.hpp"

#include <gtest/gtest.h>

#include "records/chemistry_transfer.hpp"
#include "records/nutrient_params.hpp"
#include "records/processing_params.hpp"
#include "support/recording_prompter.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

namespace kelpira::config {
namespace {

using virtual_sensor::Fault;
using virtual_sensor::FaultKind;
using virtual_sensor::LoggedCommand;
using virtual_sensor::VirtualSensorOptions;

constexpr std::size_t kNitriteTab = 2;
constexpr std::size_t kPhTab = 6;

std::vector<std::uint8_t> with_length(std::uint32_t n, std::vector<std::uint8_t> record = {}) {
    record.insert(record.begin(), {static_cast<std::uint8_t>(n), 0, 0, 0});
    return record;
}

template <typename Array>
std::vector<std::uint8_t> vec(const Array& a) {
    return {a.begin(), a.end()};
}

class ChemistryDialogTest : public virtual_sensor::testing::SensorFixture {
  protected:
    void start_with(records::ChemistryType chemistry, VirtualSensorOptions o = {}) {
        o.chemistry = chemistry;
        start(o, std::chrono::milliseconds(300));
    }

    ChemistryController open() {
        sensor->clear_log();
        auto d = open_chemistry_dialog(link, prompter);
        EXPECT_TRUE(d.has_value());
        return d ? std::move(*d) : ChemistryController{};
    }

    static std::string shown(const ChemistryController& d, std::string_view label,
                             std::string_view group = kParametersGroup) {
        const PageControl& c = d.page.controls[page_control_index(d.page, group, label)];
        if (c.kind != common::ControlKind::choice) {
            return c.text;
        }
        return c.selected ? c.choices[*c.selected].text : "";
    }

    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const auto& p : prompter.prompts) {
            out.push_back(p.caption + ": " + p.text);
        }
        return out;
    }

    testing::RecordingPrompter prompter;
};

TEST_F(ChemistryDialogTest, NitriteSensorOpensOnTheThirdTabWithItsRecords) {
    start_with(records::ChemistryType::nitrite);
    const ChemistryController d = open();
    EXPECT_EQ(d.tab, kNitriteTab);
    EXPECT_EQ(d.page.code, records::ChemistryType::nitrite);
    EXPECT_TRUE(d.page.checked);
    EXPECT_TRUE(d.save_enabled());
    EXPECT_EQ(shown(d, "Standard 1 Concentration (\u00b5M)"), "20.000");
    EXPECT_EQ(shown(d, "Sample Measurement State"), "3");
    EXPECT_EQ(sensor->log(), (std::vector<LoggedCommand>{{400, {}}, {402, with_length(29)}}));
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(ChemistryDialogTest, UnknownChemistryShowsGenericDefaultsTicked) {
    start_with(static_cast<records::ChemistryType>(10));
    const ChemistryController d = open();
    EXPECT_EQ(messages(), (std::vector<std::string>{
                              "Configure Chemistry: Failed to load chemistry config: please see "
                              "View/Compatibility"}));
    EXPECT_EQ(d.tab, 0u);
    EXPECT_TRUE(d.page.checked);
    EXPECT_EQ(d.config, records::default_chemistry_config(records::ChemistryType::generic));
    EXPECT_EQ(shown(d, "Sample Interval (ms)"), "1000");
    EXPECT_EQ(sensor->logged_codes(), (std::vector<std::uint16_t>{400}));
}

TEST_F(ChemistryDialogTest, UnreadableSensorClosesTheDialog) {
    start_with(records::ChemistryType::nitrate);
    sensor->inject(400, Fault{FaultKind::no_answer, {}}, 1);
    EXPECT_FALSE(open_chemistry_dialog(link, prompter).has_value());
    EXPECT_EQ(messages(),
              (std::vector<std::string>{"Configure Chemistry: Failed to load chemistry config"}));
}

TEST_F(ChemistryDialogTest, TabChangesReadOnlyTheSensorsOwnChemistry) {
    start_with(records::ChemistryType::nitrate);
    ChemistryController d = open();
    sensor->clear_log();
    change_chemistry_tab(d, kPhTab, link, prompter);
    EXPECT_TRUE(sensor->log().empty());
    EXPECT_FALSE(d.page.checked);
    EXPECT_FALSE(d.save_enabled());
    EXPECT_EQ(shown(d, "Multiplexer"), "pH");
    save_chemistry_dialog(d, link, prompter);
    EXPECT_TRUE(sensor->log().empty()) << "Save does nothing while the check box is clear";

    change_chemistry_tab(d, 1, link, prompter);
    EXPECT_EQ(sensor->logged_codes(), (std::vector<std::uint16_t>{400, 402}));
    EXPECT_TRUE(d.page.checked);

    sensor->inject(400, Fault{FaultKind::no_answer, {}}, 1);
    change_chemistry_tab(d, kPhTab, link, prompter);
    change_chemistry_tab(d, 1, link, prompter);
    EXPECT_EQ(messages(), (std::vector<std::string>{"Load: Failed to load chemistry config"}));
}

// A page whose read failed is never saved: defaults would replace the sensor's processing
// parameters and start states.
TEST_F(ChemistryDialogTest, APageWhoseReadFailedCannotBeSaved) {
    start_with(records::ChemistryType::nitrate);
    ChemistryController d = open();
    const records::ChemistryConfig read = d.config;
    change_chemistry_tab(d, kPhTab, link, prompter);
    sensor->inject(400, Fault{FaultKind::no_answer, {}}, 1);
    change_chemistry_tab(d, 1, link, prompter);
    EXPECT_TRUE(d.page.unread);
    EXPECT_EQ(d.page.notes.at(0), kUnreadNote);
    set_page_checked(d.page, true);
    EXPECT_FALSE(d.page.checked);
    EXPECT_FALSE(d.save_enabled());
    EXPECT_EQ(d.config, read) << "the record last read is kept whole";
    sensor->clear_log();
    save_chemistry_dialog(d, link, prompter);
    EXPECT_TRUE(sensor->log().empty()) << "nothing written";

    change_chemistry_tab(d, kPhTab, link, prompter);
    change_chemistry_tab(d, 1, link, prompter);
    EXPECT_FALSE(d.page.unread);
    EXPECT_TRUE(d.save_enabled());
}

TEST_F(ChemistryDialogTest, NewChemistrySavedWithDefaultStartStates) {
    start_with(records::ChemistryType::nitrate);
    records::ChemistryConfig custom =
        records::default_chemistry_config(records::ChemistryType::nitrate);
    custom.start_auto_deployment = 4;
    custom.start_manual_deployment = 9;
    ASSERT_EQ(records::set_chemistry_config(link, custom), 0);
    ChemistryController d = open();
    change_chemistry_tab(d, kPhTab, link, prompter);
    set_page_checked(d.page, true);
    d.page.controls[page_control_index(d.page, kParametersGroup, "Sample Interval (ms)")].text =
        "50";
    sensor->clear_log();
    save_chemistry_dialog(d, link, prompter);

    records::ChemistryConfig expected =
        records::default_chemistry_config(records::ChemistryType::ph);
    expected.sample_interval_ms = 100;
    records::PhParams params;
    params.layout = 1;
    const auto log = sensor->log();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0], (LoggedCommand{401, vec(records::encode(expected))}));
    EXPECT_EQ(log[1], (LoggedCommand{403, with_length(38, vec(records::encode(params)))}));
    EXPECT_EQ(log[2], (LoggedCommand{400, {}}));
    EXPECT_EQ(log[3], (LoggedCommand{402, with_length(38)}));
    EXPECT_EQ(messages(), (std::vector<std::string>{"Save: pH Processing configuration saved"}));
    EXPECT_EQ(d.config, expected);
    EXPECT_EQ(shown(d, "Sample Interval (ms)"), "100");
}

TEST_F(ChemistryDialogTest, FailedWriteKeepsWhatWasTyped) {
    start_with(records::ChemistryType::generic);
    ChemistryController d = open();
    auto& intake =
        d.page.controls[page_control_index(d.page, kParametersGroup, "Sample Intake State")];
    intake.text = "300";
    sensor->inject(403, Fault{FaultKind::no_answer, {}}, 1);
    save_chemistry_dialog(d, link, prompter);
    EXPECT_EQ(intake.text, "300");
    sensor->inject(400, Fault{FaultKind::no_answer, {}}, 1);
    save_chemistry_dialog(d, link, prompter);
    EXPECT_EQ(messages(),
              (std::vector<std::string>{
                  "Save: Failed to save settings\nChemistry written; processing parameters not "
                  "written: no answer (status 14), the sensor may hold either",
                  "Save: Failed to save settings\nChemistry written but not confirmed: the "
                  "read-back failed (status 14); processing parameters written but not confirmed: "
                  "the read-back failed (status 14)"}));
}

TEST_F(ChemistryDialogTest, ObsoleteTaMultiplexersAreNamedWheneverShown) {
    start_with(records::ChemistryType::ta);
    for (const std::uint8_t mux : {std::uint8_t{2}, std::uint8_t{3}}) {
        records::ChemistryConfig c = records::default_chemistry_config(records::ChemistryType::ta);
        c.multiplexer = mux;
        ASSERT_EQ(records::set_chemistry_config(link, c), 0);
        open();
    }
    ChemistryController d = open();
    save_chemistry_dialog(d, link, prompter);
    const std::string tail =
        "\" is no longer supported - please change it to type \"None\" and "
        "save the change";
    EXPECT_EQ(messages(), (std::vector<std::string>{
                              "Configure Chemistry: MULTIPLEX type \"TA (T on 567)" + tail,
                              "Configure Chemistry: MULTIPLEX type \"TA (T on 267)" + tail,
                              "Configure Chemistry: MULTIPLEX type \"TA (T on 267)" + tail,
                              "Save: TA Processing configuration saved",
                              "Configure Chemistry: MULTIPLEX type \"TA (T on 267)" + tail,
                          }));
}

TEST_F(ChemistryDialogTest, OlderNutrientFirmwareIsShownAndWrittenInItsLayout) {
    VirtualSensorOptions o;
    o.legacy_nutrient_params = true;
    start_with(records::ChemistryType::nitrate, o);
    records::NutrientParams legacy;
    legacy.output_channel = 1;
    legacy.output_monitored = 1;
    legacy.output_monitor = 6;
    ASSERT_EQ(records::set_processing_params(link, legacy), 0);
    ChemistryController d = open();
    EXPECT_EQ(
        shown(d, "Measure", "Medium") + shown(d, "Measure", "Short") + shown(d, "Measure", "Long"),
        "012");
    EXPECT_EQ(shown(d, "Monitor", "Short"), "6");
    EXPECT_EQ(shown(d, "Monitor", "Medium"), "None");
    EXPECT_EQ(shown(d, "Monitor", "Long"), "None");

    sensor->clear_log();
    save_chemistry_dialog(d, link, prompter);
    const auto log = sensor->log();
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[1].code, 403);
    EXPECT_EQ(log[1].payload.size(), 33u);
    EXPECT_EQ(log[1].payload[4], 1) << "the current layout first";
    EXPECT_EQ(log[2].code, 403);
    legacy.layout = 0;
    EXPECT_EQ(std::vector<std::uint8_t>(log[2].payload.begin(), log[2].payload.begin() + 27),
              with_length(23, vec(records::encode_legacy(legacy))));
    EXPECT_EQ(messages(),
              (std::vector<std::string>{"Save: Nitrate Processing configuration saved"}));
}

}  // namespace
}  // namespace kelpira::config
