// Run control, the views' start-state list and enabling, and the start states dialog against
// an emulated sensor: the messages, the bytes sent, the edge cases of the stored states.
#include "views/run_control.hpp"

#include "link/command_catalogue.hpp"
#include "records/chemistry_config.hpp"
#include "views/start_states_controller.hpp"
#include "views/view_frame_controller.hpp"
#include "views/view_sensor.hpp"

namespace kelpira::views {
namespace {

using link::CommandCode;
using Bytes = std::vector<std::uint8_t>;

class RunControlTest : public testing::ViewSensorTest {
  protected:
    void set_chemistry(const records::ChemistryConfig& c) {
        edit([&c](virtual_sensor::SensorState& s) {
            const auto bytes = records::encode(c);
            s.records[link::code_value(CommandCode::GET_CHEMISTRY_CONFIG)].assign(bytes.begin(),
                                                                                  bytes.end());
        });
    }
    records::ChemistryConfig stored_chemistry() const {
        return records::decode_chemistry_config(
            *sensor->record(link::code_value(CommandCode::GET_CHEMISTRY_CONFIG)));
    }
    void set_program(std::uint16_t states) {
        edit([states](virtual_sensor::SensorState& s) { s.program.state_count = states; });
    }
    void expect_one_message(const std::string& caption, const std::string& text) {
        ASSERT_EQ(prompter.prompts.size(), 1U);
        EXPECT_EQ(prompter.prompts[0].caption, caption);
        EXPECT_EQ(prompter.prompts[0].text, text);
    }
};

TEST_F(RunControlTest, StartSendsTheSelectedStateAndSaysNothing) {
    EXPECT_TRUE(start_sensor(link, prompter, 3));
    EXPECT_EQ(sent(CommandCode::START_STATE_MACHINE), (std::vector<Bytes>{{3}}));
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(RunControlTest, AnUnreadableStateCountStopsTheStart) {
    lose_answers(CommandCode::GET_STATE_MACHINE_INFO);
    EXPECT_FALSE(start_sensor(link, prompter, 0));
    expect_one_message("Start", "Unable get state machine configuration from sensor");
    EXPECT_TRUE(sent(CommandCode::START_STATE_MACHINE).empty());
}

TEST_F(RunControlTest, NoProgramStopsTheStart) {
    set_program(0);
    EXPECT_FALSE(start_sensor(link, prompter, 0));
    expect_one_message("Start", "Sensor has no state machine loaded");
    EXPECT_TRUE(sent(CommandCode::START_STATE_MACHINE).empty());
}

TEST_F(RunControlTest, LowSupplyAndOtherFailuresHaveTheirOwnMessages) {
    virtual_sensor::VirtualSensorOptions low;
    low.supply_mv = 7000;
    link.Close();
    start(low);
    EXPECT_FALSE(start_sensor(link, prompter, 0));
    expect_one_message("Start", "Voltage too low to run state machine");

    prompter.prompts.clear();
    link.Close();
    start();
    lose_answers(CommandCode::START_STATE_MACHINE);
    EXPECT_FALSE(start_sensor(link, prompter, 0));
    expect_one_message("Start", "Failed to start state machine");
}

TEST_F(RunControlTest, StopFailureIsTold) {
    EXPECT_TRUE(stop_sensor(link, prompter));
    EXPECT_TRUE(prompter.prompts.empty());
    lose_answers(CommandCode::STOP_STATE_MACHINE);
    EXPECT_FALSE(stop_sensor(link, prompter));
    expect_one_message("Stop", "Failed to stop state machine");
}

TEST_F(RunControlTest, AllStatesUnsetGiveAnEmptyListAndNoStart) {
    records::ChemistryConfig c;
    c.start_auto_deployment = c.start_manual_deployment = c.start_manual_priming =
        c.start_manual_flushing = c.start_special1 = c.start_special2 = c.start_special3 = 255;
    set_chemistry(c);
    ViewFrameState frame;
    frame.load(link, prompter);
    frame.set_flags(kLinkConnected);
    EXPECT_TRUE(frame.start_states().empty());
    EXPECT_FALSE(frame.autostart());
    EXPECT_EQ(frame.enabling(false), (FrameEnabling{false, false, true}));
    frame.set_flags(kLinkConnected | kLinkRunning);
    EXPECT_EQ(frame.enabling(false), (FrameEnabling{false, true, true}));
    frame.set_flags(0);
    EXPECT_EQ(frame.enabling(false), (FrameEnabling{false, false, false}));
    EXPECT_EQ(frame.enabling(true), (FrameEnabling{false, false, true}));
}

TEST_F(RunControlTest, TheListFollowsItsFixedOrder) {
    records::ChemistryConfig c = records::default_chemistry_config(records::ChemistryType::nitrate);
    c.start_manual_flushing = 3;
    c.start_special2 = 9;
    EXPECT_EQ(start_state_list(c),
              (std::vector<StartStateEntry>{{"Deploy", 0}, {"Flush", 3}, {"Special2", 9}}));
}

TEST_F(RunControlTest, AnUnreadableRecordGivesTheFallbackCopy) {
    lose_answers(CommandCode::GET_CHEMISTRY_CONFIG);
    ViewFrameState frame;
    frame.load(link, prompter);
    expect_one_message("Chemistry", "Unable to get current chemistry from sensor");
    EXPECT_EQ(frame.start_states(),
              (std::vector<StartStateEntry>{{"Special1", 0}, {"Special2", 0}, {"Special3", 0}}));
    EXPECT_TRUE(frame.autostart());
    EXPECT_EQ(frame.chemistry().chemistry, records::ChemistryType::generic);

    // A reload that fails keeps the copy.
    EXPECT_FALSE(frame.reload(link));
    EXPECT_EQ(frame.start_states().size(), 3U);
    sensor->clear_faults();
    EXPECT_TRUE(frame.reload(link));
    EXPECT_EQ(frame.start_states(), (std::vector<StartStateEntry>{{"Deploy", 0}}));
}

TEST_F(RunControlTest, SaveClampsAndUnsetsAndKeepsTheOtherBytes) {
    records::ChemistryConfig c = records::default_chemistry_config(records::ChemistryType::ph);
    c.reserved14 = {7, 8};
    set_chemistry(c);
    StartStatesController dialog;
    ASSERT_TRUE(dialog.open(link, prompter, false));
    dialog.rows()[1].value = 300;  // manual deployment, ticked
    dialog.rows()[3] = {false, 42};
    dialog.rows()[4] = {true, 255};
    ASSERT_TRUE(dialog.save(link, prompter));
    const auto stored = stored_chemistry();
    EXPECT_EQ(stored.start_manual_deployment, 254);
    EXPECT_EQ(stored.start_manual_flushing, 255);
    EXPECT_EQ(stored.start_special1, 254);
    EXPECT_EQ(stored.reserved14, (std::array<std::uint8_t, 2>{7, 8}));
    EXPECT_EQ(stored.chemistry, records::ChemistryType::ph);
    EXPECT_EQ(stored.sample_interval_ms, 100U);

    lose_answers(CommandCode::SET_CHEMISTRY_CONFIG);
    EXPECT_FALSE(dialog.save(link, prompter));
    expect_one_message("Save", "Failed to write State Machine Control States from sensor.");
}

TEST_F(RunControlTest, StatesBeyondTheProgramAreRed) {
    set_program(10);
    StartStatesController dialog;
    ASSERT_TRUE(dialog.open(link, prompter, false));
    EXPECT_EQ(dialog.highest_valid_state(), 9);
    dialog.rows()[1] = {true, 10};
    dialog.rows()[2] = {true, 9};
    dialog.rows()[3] = {false, 200};
    EXPECT_TRUE(dialog.out_of_range(1));
    EXPECT_FALSE(dialog.out_of_range(2));
    EXPECT_FALSE(dialog.out_of_range(3));

    set_program(0);
    ASSERT_TRUE(dialog.open(link, prompter, false));
    dialog.rows()[1] = {true, 200};
    EXPECT_FALSE(dialog.out_of_range(1));
}

TEST_F(RunControlTest, AutostartToggleSavesUnsetAndCancelLeavesTheSensor) {
    records::ChemistryConfig c = records::default_chemistry_config(records::ChemistryType::nitrate);
    c.start_auto_deployment = 17;
    set_chemistry(c);
    StartStatesController dialog;
    ASSERT_TRUE(dialog.open(link, prompter, true));
    EXPECT_FALSE(dialog.rows()[0].ticked);
    EXPECT_EQ(dialog.rows()[0].value, 0U);
    // Cancel: nothing written, the view's reload ticks Autostart again.
    EXPECT_TRUE(sent(CommandCode::SET_CHEMISTRY_CONFIG).empty());
    ViewFrameState frame;
    frame.load(link, prompter);
    EXPECT_TRUE(frame.autostart());

    ASSERT_TRUE(dialog.save(link, prompter));
    EXPECT_EQ(stored_chemistry().start_auto_deployment, 255);
    ASSERT_TRUE(dialog.open(link, prompter, true));
    EXPECT_TRUE(dialog.rows()[0].ticked);
    EXPECT_EQ(dialog.rows()[0].value, 0U);
}

TEST_F(RunControlTest, AnUnreadableRecordClosesTheDialog) {
    lose_answers(CommandCode::GET_CHEMISTRY_CONFIG);
    StartStatesController dialog;
    EXPECT_FALSE(dialog.open(link, prompter, false));
    expect_one_message("State Machine Control States",
                       "Unable to read State Machine Control States from sensor.");
}

}  // namespace
}  // namespace kelpira::views
