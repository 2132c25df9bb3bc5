// Program transfer against the emulated sensor: exact commands, the empty program, failures
// part-way, and a count one index byte cannot address.
#include <gtest/gtest.h>

#include "link/command_catalogue.hpp"
#include "link/scripted_sensor.hpp"
#include "statemachine/state_transfer.hpp"
#include "virtual_sensor/sensor_fixture.hpp"

namespace kelpira::statemachine {
namespace {

using link::CommandCode;
using virtual_sensor::Fault;
using virtual_sensor::FaultKind;
using virtual_sensor::VirtualSensorOptions;

constexpr auto kInfo = link::code_value(CommandCode::GET_STATE_MACHINE_INFO);
constexpr auto kGet = link::code_value(CommandCode::GET_STATE_RECORD);
constexpr auto kSet = link::code_value(CommandCode::SET_STATE_RECORD);

class StateTransfer : public virtual_sensor::testing::SensorFixture {};

TEST_F(StateTransfer, OneStateSaveSendsOneRecordWithTheLastFlag) {
    start();
    StateMachineImage image;
    clear_image(image);
    image.states[0].sync_value = 42;
    sensor->clear_log();
    const TransferOutcome out = save_to_sensor(link, image);
    ASSERT_TRUE(out.ok) << out.detail;
    const auto log = sensor->log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].code, kSet);
    ASSERT_EQ(log[0].payload.size(), 79u);
    EXPECT_EQ(log[0].payload[0], 0);
    EXPECT_EQ(log[0].payload[1], 1);
    const StateBytes sent = encode(image.states[0]);
    EXPECT_TRUE(std::equal(sent.begin(), sent.end(), log[0].payload.begin() + 2));

    StateMachineImage back;
    ASSERT_TRUE(load_from_sensor(link, back).ok);
    EXPECT_EQ(back.last_index, 0);
    EXPECT_EQ(back.states[0].sync_value, 42);
}

TEST_F(StateTransfer, LoadReadsEveryStateInOrderAndSaveWritesItBack) {
    start();
    StateMachineImage image;
    image.current = 3;
    sensor->clear_log();
    std::vector<std::size_t> progress;
    const TransferOutcome out = load_from_sensor(
        link, image, [&](std::size_t done, std::size_t) { progress.push_back(done); });
    ASSERT_TRUE(out.ok) << out.detail;
    // The nitrate sensor's default program, states 0 to 11.
    const std::uint8_t count = 12;
    EXPECT_EQ(image.state_count(), count);
    EXPECT_EQ(image.current, 0);
    EXPECT_EQ(progress.back(), count);
    const auto log = sensor->log();
    ASSERT_EQ(log.size(), count + 1u);
    EXPECT_EQ(log[0].code, kInfo);
    EXPECT_EQ(log[0].payload, std::vector<std::uint8_t>{0});
    for (std::uint8_t i = 0; i < count; ++i) {
        EXPECT_EQ(log[i + 1u].code, kGet);
        EXPECT_EQ(log[i + 1u].payload, std::vector<std::uint8_t>{i});
    }

    image.last_index = 2;  // a shorter program replaces it
    sensor->clear_log();
    ASSERT_TRUE(save_to_sensor(link, image).ok);
    const auto sets = sensor->log();
    ASSERT_EQ(sets.size(), 3u);
    EXPECT_EQ(sets[1].payload[0], 1);
    EXPECT_EQ(sets[1].payload[1], 0);
    EXPECT_EQ(sets[2].payload[1], 1);
    StateMachineImage back;
    ASSERT_TRUE(load_from_sensor(link, back).ok);
    EXPECT_EQ(back.last_index, 2);
}

TEST_F(StateTransfer, EmptySensorProgramGivesOneDefaultState) {
    VirtualSensorOptions options;
    options.empty_program = true;
    start(options);
    StateMachineImage image;
    image.state_defaults.winding_current_ma = 250;
    image.last_index = 4;
    ASSERT_TRUE(load_from_sensor(link, image).ok);
    EXPECT_EQ(image.last_index, 0);
    EXPECT_EQ(image.states[0].winding_current_ma, 250);
    EXPECT_EQ(image.states[0].default_next, 0);
    EXPECT_EQ(sensor->logged_codes(), (std::vector<std::uint16_t>{kInfo}));
}

TEST_F(StateTransfer, FailureAtRecordKStopsThere) {
    start({}, std::chrono::milliseconds(100));
    StateMachineImage image;
    ASSERT_TRUE(load_from_sensor(link, image).ok);
    sensor->inject(kSet, Fault{FaultKind::no_answer}, 1, 4);
    sensor->clear_log();
    TransferOutcome out = save_to_sensor(link, image);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.states_done, 4u);
    EXPECT_EQ(out.detail, "SET_STATE_RECORD for state 4 failed (status=14)");
    EXPECT_EQ(sensor->log().size(), 5u);
    EXPECT_EQ(saved_states_text(out, 12),
              "4 of 12 states acknowledged; state 4 may also have been written (its answer was "
              "lost)");
    out.result = link::kResultBadLength;  // as after a refusal
    EXPECT_EQ(saved_states_text(out, 12), "4 of 12 states acknowledged");

    sensor->inject(kGet, Fault{FaultKind::no_answer}, 1, 2);
    sensor->clear_log();
    image.states[0].sync_value = 9;
    out = load_from_sensor(link, image);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.detail, "GET_STATE_RECORD for state 2 failed (status=14)");
    EXPECT_EQ(sensor->log().size(), 4u);
    EXPECT_EQ(image.last_index, 0);
    EXPECT_EQ(image.states[0].sync_value, 0);
    EXPECT_EQ(image.states[0].led_drive[0], kLedOn);  // one default state
    EXPECT_EQ(image.states[1], StateRecord{});
}

class CountingSensor : public link::testing::SensorFixture {};

TEST_F(CountingSensor, MoreStatesThanOneIndexByteAddressesFailTheLoad) {
    open([](const link::SensorCommand&) -> std::optional<link::testing::Answer> {
        return link::testing::Answer{0, {0x2C, 0x01}};  // 300 states
    });
    StateMachineImage image;
    const TransferOutcome out = load_from_sensor(link, image);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.detail, "the sensor reports 300 states; at most 255 can be read");
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_EQ(code_sent(0), kInfo);
    EXPECT_EQ(image.last_index, 0);
    EXPECT_EQ(image.states[0].led_drive[0], kLedOn);
}

}  // namespace
}  // namespace kelpira::statemachine
