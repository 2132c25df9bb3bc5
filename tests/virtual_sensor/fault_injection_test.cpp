// Scripted faults of the emulated sensor as the link sees them: silence and removal give 5,
// a stale answer is never delivered, garbage and unterminated texts arrive as answers.
#include <gtest/gtest.h>

#include <algorithm>

#include "virtual_sensor/sensor_fixture.hpp"

using namespace kelpira;
using namespace kelpira::virtual_sensor;
using namespace kelpira::virtual_sensor::testing;
using namespace std::chrono_literals;

namespace {

class FaultTest : public SensorFixture {
  protected:
    void SetUp() override { start({}, 150ms); }

    // The link's own result, and the buffer untouched when it is not 0.
    link::CommandResult transact_keeping(std::uint16_t code) {
        auto c = command(code);
        const auto before = c.bytes;
        const auto rc = link.Transact(c);
        if (rc != link::kResultSuccess) {
            EXPECT_EQ(c.bytes, before) << "a failed transaction leaves the buffer alone";
        }
        return rc;
    }
};

}  // namespace

TEST_F(FaultTest, NoAnswerTimesOutAndTheNextCommandIsAnsweredNormally) {
    sensor->inject_next({FaultKind::no_answer});
    EXPECT_EQ(transact_keeping(418), link::kResultNoAnswer);
    auto next = command(262);
    ASSERT_EQ(link.Transact(next), link::kResultSuccess);
    EXPECT_EQ(next.code(), 262);
    EXPECT_EQ(next.payload()[1], 2);
    EXPECT_EQ(sensor->logged_codes(), (std::vector<std::uint16_t>{418, 262}))
        << "the silent command was received all the same";
}

TEST_F(FaultTest, FaultsForACodeHitOnlyThatCodeAsOftenAsScripted) {
    sensor->inject(418, {FaultKind::no_answer}, 2);
    EXPECT_EQ(transact_keeping(418), link::kResultNoAnswer);
    EXPECT_EQ(transact_keeping(295), link::kResultSuccess);
    EXPECT_EQ(transact_keeping(418), link::kResultNoAnswer);
    EXPECT_EQ(transact_keeping(418), link::kResultSuccess);
}

TEST_F(FaultTest, FaultForEveryCommandOfACodeLastsUntilCleared) {
    sensor->inject(295, {FaultKind::no_answer});
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(transact_keeping(295), link::kResultNoAnswer);
    }
    sensor->clear_faults();
    EXPECT_EQ(transact_keeping(295), link::kResultSuccess);
}

TEST_F(FaultTest, NextFaultsHitAnyCodeThenStop) {
    sensor->inject_next({FaultKind::stale_sequence}, 2);
    EXPECT_EQ(transact_keeping(260), link::kResultNoAnswer);
    EXPECT_EQ(transact_keeping(418), link::kResultNoAnswer);
    EXPECT_EQ(transact_keeping(260), link::kResultSuccess);
}

TEST_F(FaultTest, StaleSequenceIsNeverDelivered) {
    sensor->inject(260, {FaultKind::stale_sequence}, 1);
    EXPECT_EQ(transact_keeping(260), link::kResultNoAnswer);
    auto good = command(260);
    ASSERT_EQ(link.Transact(good), link::kResultSuccess);
    EXPECT_EQ(good.sequence(), backend.written(kPath).back()[3]);
}

TEST_F(FaultTest, LateAnswerWithinTheTimeOutArrives) {
    sensor->inject_next({FaultKind::late_answer, 30ms});
    auto c = command(262);
    ASSERT_EQ(link.Transact(c), link::kResultSuccess);
    EXPECT_EQ(c.payload()[1], 2);
}

TEST_F(FaultTest, LateAnswerAfterTheTimeOutIsNeverTakenForALaterOne) {
    sensor->inject_next({FaultKind::late_answer, 400ms});
    auto first = command(262);
    EXPECT_EQ(link.Transact(first), link::kResultNoAnswer);
    // Whatever the late answer meets, a later command gets its own answer or none.
    for (int i = 0; i < 5; ++i) {
        auto c = command(294);
        const auto before = c.bytes;
        const auto rc = link.Transact(c);
        if (rc == link::kResultSuccess) {
            EXPECT_EQ(c.code(), 294) << "the answer of another request delivered";
            EXPECT_EQ(c.sequence(), backend.written(kPath).back()[3]);
        } else {
            EXPECT_TRUE(rc == link::kResultNoAnswer || rc == link::kResultLockOrSequence);
            EXPECT_EQ(c.bytes, before);
        }
    }
}

TEST_F(FaultTest, RemovalDuringATransactionGives5AndTheDeviceIsGone) {
    sensor->inject(400, {FaultKind::removed}, 1);
    EXPECT_EQ(transact_keeping(400), link::kResultNoAnswer);
    EXPECT_TRUE(backend.enumerate().empty());
    EXPECT_EQ(transact_keeping(260), link::kResultNoAnswer) << "nothing answers any more";
    link.Close();
    EXPECT_EQ(link.Open(kPath, 150ms), 1);
    EXPECT_EQ(sensor->logged_codes(), (std::vector<std::uint16_t>{400}));
}

TEST_F(FaultTest, GarbageArrivesAsASuccessfulAnswerFullOfNonsense) {
    sensor->inject_next({FaultKind::garbage});
    auto c = command(260);
    ASSERT_EQ(link.Transact(c), link::kResultSuccess);
    EXPECT_EQ(c.code(), 260);
    EXPECT_EQ(c.result(), 0);
    EXPECT_TRUE(std::none_of(c.payload().begin(), c.payload().end(),
                             [](std::uint8_t b) { return b == 0; }));
    EXPECT_NE(c.payload()[0], 2) << "not the identification record";
}

TEST_F(FaultTest, UnterminatedTextsRunIntoTheNextField) {
    sensor->inject(260, {FaultKind::unterminated_text}, 1);
    sensor->inject(294, {FaultKind::unterminated_text}, 1);
    sensor->inject(256, {FaultKind::unterminated_text}, 1);
    for (const std::uint16_t code : std::initializer_list<std::uint16_t>{260, 256}) {
        auto id = command(code);
        ASSERT_EQ(link.Transact(id), link::kResultSuccess);
        EXPECT_EQ(id.result(), 0);
        EXPECT_TRUE(std::none_of(id.payload().begin() + 2, id.payload().begin() + 24,
                                 [](std::uint8_t b) { return b == 0; }))
            << code;
        EXPECT_TRUE(std::equal(id.payload().begin() + 2, id.payload().begin() + 16,
                               std::string_view("Virtual Sensor").begin()));
    }
    auto version = command(294);
    ASSERT_EQ(link.Transact(version), link::kResultSuccess);
    EXPECT_TRUE(std::none_of(version.payload().begin() + 1, version.payload().begin() + 26,
                             [](std::uint8_t b) { return b == 0; }));
    auto normal = command(260);
    ASSERT_EQ(link.Transact(normal), link::kResultSuccess);
    EXPECT_EQ(normal.payload()[16], 0) << "the next answer is terminated again";
}
