// The emulated sensor's program commands: lengths and indices it refuses, a save that stops
// half-way, and the default programs a new user dry-runs.
#include <gtest/gtest.h>

#include "link/command_catalogue.hpp"
#include "records/chemistry_type.hpp"
#include "statemachine/state_summary.hpp"
#include "virtual_sensor/sensor_fixture.hpp"
#include "virtual_sensor/stored_program.hpp"

namespace kelpira::virtual_sensor {
namespace {

using testing::command;

constexpr auto kInfo = link::code_value(link::CommandCode::GET_STATE_MACHINE_INFO);
constexpr auto kGet = link::code_value(link::CommandCode::GET_STATE_RECORD);
constexpr auto kSet = link::code_value(link::CommandCode::SET_STATE_RECORD);

// The states of the default program of the fixture's nitrate sensor: 0 to 11.
constexpr std::uint16_t kNitrateStates = 12;

class StateMachineCommands : public testing::SensorFixture {
  protected:
    link::SensorCommand set_record(std::uint8_t index, std::uint8_t last, std::uint8_t sync) {
        link::SensorCommand c = command(kSet);
        c.set_length(79);
        c.payload()[0] = index;
        c.payload()[1] = last;
        c.payload()[2] = 1;          // normalised
        c.payload()[2 + 37] = sync;  // sync_value
        return c;
    }
    std::uint16_t state_count() {
        link::SensorCommand c = command(kInfo, {0});
        EXPECT_EQ(send(c), 0);
        return static_cast<std::uint16_t>(c.payload()[0] | c.payload()[1] << 8);
    }
};

TEST_F(StateMachineCommands, RefusesWrongLengthsAndIndexTwoFiftyFive) {
    start();
    link::SensorCommand info = command(kInfo);
    EXPECT_EQ(send(info), link::kResultBadLength);
    link::SensorCommand get = command(kGet, {255});
    EXPECT_EQ(send(get), kResultBadValue);
    link::SensorCommand set = set_record(255, 1, 0);
    EXPECT_EQ(send(set), kResultBadValue);
    set.set_length(78);
    EXPECT_EQ(send(set), link::kResultBadLength);
    EXPECT_EQ(state_count(), kNitrateStates);
}

TEST_F(StateMachineCommands, ALastFlagSetsTheCountAndAHalfSaveKeepsTheOldOne) {
    start();
    for (std::uint8_t i = 0; i < 3; ++i) {
        link::SensorCommand c = set_record(i, 0, static_cast<std::uint8_t>(50 + i));
        ASSERT_EQ(send(c), 0);
    }
    EXPECT_EQ(state_count(), kNitrateStates);  // the transfer did not end
    link::SensorCommand get = command(kGet, {2});
    ASSERT_EQ(send(get), 0);
    EXPECT_EQ(get.payload()[37], 52);
    link::SensorCommand last = set_record(3, 1, 53);
    ASSERT_EQ(send(last), 0);
    EXPECT_EQ(state_count(), 4);
}

TEST(DefaultPrograms, EveryChemistryDryRunsToTheEndOfItsDeployment) {
    for (const auto& d : records::kChemistryTable) {
        const StoredProgram program = default_program(d.code);
        statemachine::StateMachineImage image;
        image.states = program.states;
        image.last_index = static_cast<std::uint16_t>(program.state_count - 1);
        const auto summary = statemachine::build_summary(
            image, {statemachine::SummaryMode::dry_run, 0, std::nullopt});
        EXPECT_EQ(summary.end_message, "Dry-run ended at IDLE state.") << d.tab_text;
        // Eight states a cycle, three more for the standard of a nutrient; TA: flush, intake,
        // two blanks, titrant, two samples, three rinses, sleep; DIC: flush, reference intake
        // and measurement, sample intake and measurement, three rinses, sleep. Then idle.
        std::size_t per_cycle = records::is_nutrient(d.code) ? 11 : 8;
        if (d.code == records::ChemistryType::ta) {
            per_cycle = 11;
        } else if (d.code == records::ChemistryType::dic) {
            per_cycle = 9;
        }
        EXPECT_EQ(summary.rows.size(), 24u * per_cycle + 1u) << d.tab_text;
        const auto timed_out =
            statemachine::build_summary(image, {statemachine::SummaryMode::dry_run, 0, 2});
        EXPECT_EQ(timed_out.end_message, "Dry-run ended at HIBERNATING state.") << d.tab_text;
        const auto primed = statemachine::build_summary(
            image, {statemachine::SummaryMode::dry_run, 7, std::nullopt});
        EXPECT_EQ(primed.rows.size(), 2u) << d.tab_text;
    }
}

}  // namespace
}  // namespace kelpira::virtual_sensor
