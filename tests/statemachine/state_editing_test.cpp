// Insert and delete with reference renumbering, and paste with its options.
#include <gtest/gtest.h>

#include "statemachine/state_editing.hpp"

namespace kelpira::statemachine {
namespace {

// A six-state program whose state i carries the references the cases look at.
StateMachineImage six_states() {
    StateMachineImage image;
    clear_image(image);
    image.last_index = 5;
    for (std::uint8_t i = 0; i <= 5; ++i) {
        new_default_state(image, i);
        image.states[i].sync_value = static_cast<std::uint8_t>(100 + i);  // identifies a state
    }
    StateRecord& s = image.states[0];
    s.default_next = 3;
    s.pump_timeout_next = 4;                              // Hall stop: follows
    s.counter[0] = Counter{1, 2, 5, kCounterIncAndTest};  // has a limit: follows
    s.counter[1] = Counter{1, 0, 4, kCounterIncOnly};     // no limit: stays
    s.counter[2] = Counter{1, 1, 255, kCounterIncAndTest};
    s.dive_trigger = DepthTrigger{0, 1, 4, 0};   // has a level: follows
    s.climb_trigger = DepthTrigger{0, 0, 4, 0};  // no level: stays
    image.states[1].default_next = 2;
    image.states[1].pump_stop_mode = kStopOnTime;
    image.states[1].pump_timeout_next = 5;  // not a Hall stop: stays
    image.states[2].default_next = 254;
    return image;
}

TEST(StateEditing, InsertBeforeStateThreeMovesReferencesFromThreeUp) {
    StateMachineImage image = six_states();
    image.current = 3;
    ASSERT_TRUE(insert_state(image, false));
    EXPECT_EQ(image.last_index, 6);
    EXPECT_EQ(image.current, 3);
    EXPECT_EQ(image.states[4].sync_value, 103);
    EXPECT_EQ(image.states[6].sync_value, 105);
    const StateRecord& s = image.states[0];
    EXPECT_EQ(s.default_next, 4);
    EXPECT_EQ(s.pump_timeout_next, 5);
    EXPECT_EQ(s.counter[0].next_state, 6);
    EXPECT_EQ(s.counter[1].next_state, 4);
    EXPECT_EQ(s.counter[2].next_state, 255);
    EXPECT_EQ(s.dive_trigger.next_state, 5);
    EXPECT_EQ(s.climb_trigger.next_state, 4);
    EXPECT_EQ(image.states[1].default_next, 2);
    EXPECT_EQ(image.states[1].pump_timeout_next, 5);
    EXPECT_EQ(image.states[2].default_next, 254);
    EXPECT_EQ(image.states[3].sync_value, 0);  // the new default state
    EXPECT_EQ(image.states[3].default_next, 4);

    image.current = 6;
    ASSERT_TRUE(insert_state(image, true));
    EXPECT_EQ(image.current, 7);
    EXPECT_EQ(image.states[7].default_next, 7);  // the new last state points at itself
}

TEST(StateEditing, DeleteStateThreeMovesLaterReferencesDown) {
    StateMachineImage image = six_states();
    image.current = 3;
    ASSERT_TRUE(delete_state(image));
    EXPECT_EQ(image.last_index, 4);
    EXPECT_EQ(image.current, 3);
    EXPECT_EQ(image.states[3].sync_value, 104);
    const StateRecord& s = image.states[0];
    EXPECT_EQ(s.default_next, 3);  // pointed at the deleted state: now the next one
    EXPECT_EQ(s.pump_timeout_next, 3);
    EXPECT_EQ(s.counter[0].next_state, 4);
    EXPECT_EQ(s.counter[1].next_state, 4);
    EXPECT_EQ(s.counter[2].next_state, 254);
    EXPECT_EQ(s.dive_trigger.next_state, 3);
    EXPECT_EQ(s.climb_trigger.next_state, 4);
    EXPECT_EQ(image.states[2].default_next, 253);

    image.current = 4;
    ASSERT_TRUE(delete_state(image));
    EXPECT_EQ(image.current, 3);
    EXPECT_EQ(image.last_index, 3);
}

TEST(StateEditing, RefusedAtTheLimits) {
    StateMachineImage image;
    clear_image(image);
    EXPECT_FALSE(delete_state(image));
    image.last_index = kMaxLastIndex;
    EXPECT_FALSE(insert_state(image, false));
    EXPECT_EQ(image.last_index, kMaxLastIndex);
    StateClipboard clipboard;
    copy_state(image, clipboard);
    EXPECT_FALSE(paste_state(image, clipboard, kPasteInsertAfter | kPasteAllFields));
    EXPECT_EQ(image.last_index, kMaxLastIndex);
}

TEST(StateEditing, PasteValvesOnlyKeepsTheRestAndClearsNextStates) {
    StateMachineImage image = six_states();
    StateClipboard clipboard;
    image.states[0].valve_mask = 0x00F0;
    image.states[0].pump_on = 1;
    image.current = 0;
    copy_state(image, clipboard);
    image.current = 2;
    image.states[2].counter[3] = Counter{1, 1, 4, kCounterIncAndTest};
    image.states[2].winding_current_ma = 77;
    const std::uint8_t bits = paste_bits(PasteMode::overwrite, true, false, false);
    EXPECT_EQ(bits, kPasteValves);
    ASSERT_TRUE(paste_state(image, clipboard, bits));
    const StateRecord& s = image.states[2];
    EXPECT_EQ(s.valve_mask, 0x00F0);
    EXPECT_EQ(s.pump_on, 0);
    EXPECT_EQ(s.winding_current_ma, 77);
    EXPECT_EQ(s.sync_value, 102);
    EXPECT_EQ(s.default_next, 0);
    EXPECT_EQ(s.pump_timeout_next, 0);
    EXPECT_EQ(s.counter[3].next_state, 0);
    EXPECT_EQ(s.counter[3].limit, 1);
}

TEST(StateEditing, PasteOptionsAndInsertingPaste) {
    EXPECT_EQ(paste_mode(kPasteInsertBefore | kPasteInsertAfter), PasteMode::insert_before);
    EXPECT_EQ(paste_mode(kPasteInsertAfter | kPastePump), PasteMode::insert_after);
    EXPECT_EQ(paste_mode(kPastePump), PasteMode::overwrite);
    EXPECT_EQ(paste_bits(PasteMode::insert_before, false, false, false), 1 + 4 + 8 + 16);
    EXPECT_EQ(paste_bits(PasteMode::insert_after, false, false, false), 2 + 4 + 8 + 16);
    EXPECT_EQ(paste_bits(PasteMode::overwrite, false, true, true), 8 + 16);

    StateMachineImage image = six_states();
    StateClipboard clipboard;
    image.current = 1;
    ASSERT_TRUE(cut_state(image, clipboard));
    EXPECT_EQ(image.last_index, 4);
    EXPECT_EQ(clipboard.record.sync_value, 101);
    image.current = 4;
    ASSERT_TRUE(paste_state(image, clipboard, kPasteInsertAfter | kPasteAllFields));
    EXPECT_EQ(image.current, 5);
    EXPECT_EQ(image.last_index, 5);
    EXPECT_EQ(image.states[5].sync_value, 101);
    EXPECT_EQ(image.states[5].pump_stop_mode, kStopOnTime);
    EXPECT_EQ(image.states[5].default_next, 0);
}

}  // namespace
}  // namespace kelpira::statemachine
