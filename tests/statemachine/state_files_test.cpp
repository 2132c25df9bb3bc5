// Program files: the layout chosen by name, the legacy conversion both ways, reading edge
// cases, and the JSON form with its refusals.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "statemachine/legacy_layout.hpp"
#include "statemachine/legacy_losses.hpp"
#include "statemachine/state_files.hpp"
#include "support/temp_folder.hpp"

namespace kelpira::statemachine {
namespace {

using kelpira::testing::TempFolder;

StateRecord random_record(std::mt19937& rng) {
    StateBytes bytes;
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(rng());
    }
    return decode_state_record(bytes);
}

// What the legacy layout gives back for `s`, field by field from the conversion table.
StateRecord expected_after_legacy(const StateRecord& s) {
    StateRecord e;
    e.default_next = s.default_next;
    e.delay_s = s.delay_s;
    e.delay_mode = s.delay_mode == 0 ? 0 : 1;
    e.power_mode = s.power_mode <= 1 ? s.power_mode : 2;
    e.valve_mask = s.valve_mask;
    e.hall_power = s.hall_power;
    e.photodiode_power = s.photodiode_power;
    for (std::size_t i = 0; i < kLedCount; ++i) {
        const std::uint16_t v = s.led_drive[i];
        if (v == 0xFFFF) {
            e.led_drive[i] = 0xFFFF;
            continue;
        }
        const auto code =
            static_cast<std::uint16_t>(static_cast<std::uint32_t>(v * 1.3374489795918367));
        e.led_drive[i] = code == 0xFFFF ? std::uint16_t{0xFFFF}
                                        : static_cast<std::uint16_t>(code * 0.7476920729381247);
    }
    e.pump_direction = s.pump_direction == 1 ? 1 : 0;
    e.pump_on = s.pump_on == 1 ? 1 : 0;
    e.pump_stop_mode = s.pump_stop_mode <= 1 ? s.pump_stop_mode : 2;
    e.winding_current_ma = s.winding_current_ma;
    e.step_period_us = s.step_period_us;
    e.step_count = s.step_count;
    e.pump_timeout_s = s.pump_timeout_s;
    e.pump_timeout_next = s.pump_timeout_next;
    e.hall_stop_inject = s.hall_stop_inject;
    e.hall_stop_withdraw = s.hall_stop_withdraw;
    e.microstep_code = s.microstep_code <= 4 ? s.microstep_code : 4;
    e.state_switch = s.state_switch == 1 || s.state_switch == 2 ? s.state_switch : 0;
    auto byte3 = [](std::uint8_t third, std::uint8_t second) -> std::uint8_t {
        return third == 2 ? 2 : second != 0 ? 1 : 0;
    };
    for (std::size_t k = 0; k < kCounterCount; ++k) {
        const Counter& c = s.counter[k];
        e.counter[k] = Counter{c.increment, c.limit, c.next_state, byte3(c.mode, c.limit)};
    }
    for (auto [from, to] : {std::pair{&s.dive_trigger, &e.dive_trigger},
                            std::pair{&s.climb_trigger, &e.climb_trigger}}) {
        *to = DepthTrigger{from->reserved0, from->level, from->next_state,
                           byte3(from->reserved3, from->level)};
    }
    return e;
}

TEST(LegacyLayout, ManyRandomRecordsFollowTheConversionTable) {
    std::mt19937 rng(20261208);
    for (int n = 0; n < 5000; ++n) {
        StateRecord s = random_record(rng);
        if (n % 3 == 0) {  // the small codes the lists use, which random bytes rarely hit
            s.power_mode = static_cast<std::uint8_t>(n % 4);
            s.pump_stop_mode = static_cast<std::uint8_t>(n % 3);
            s.state_switch = static_cast<std::uint8_t>(n % 3);
            s.counter[n % 6].mode = static_cast<std::uint8_t>(n % 3);
            s.led_drive[n % 4] = 0xFFFF;
        }
        const LegacyBytes legacy = to_legacy(s);
        EXPECT_EQ(legacy[0], 0);
        EXPECT_EQ(legacy[101], 0);
        ASSERT_EQ(from_legacy(legacy), expected_after_legacy(s)) << "record " << n;
    }
}

TEST(LegacyLayout, TheDocumentedLossesAndLedCodes) {
    StateRecord s;
    s.sync_value = 9;
    s.power_mode = kPowerHibernating;
    s.counter[0] = Counter{1, 0, 5, kCounterIncAndTest};
    s.microstep_code = 7;
    s.led_drive = {1000, 0xFFFF, 0, 65535 - 1};
    const LegacyBytes legacy = to_legacy(s);
    EXPECT_EQ(legacy[31] | legacy[32] << 8, 1337);
    EXPECT_EQ(legacy[63], 1);  // full steps
    EXPECT_EQ(legacy[70], 5);  // next state before limit in the legacy group
    const StateRecord back = from_legacy(legacy);
    EXPECT_EQ(back.sync_value, 0);
    EXPECT_EQ(back.power_mode, kPowerIdle);
    EXPECT_EQ(back.counter[0].mode, kCounterIncOnly);
    EXPECT_EQ(back.microstep_code, 4);
    EXPECT_EQ(back.led_drive[0], 999);
    EXPECT_EQ(back.led_drive[1], 0xFFFF);
    EXPECT_EQ(led_to_legacy(65534), static_cast<std::uint16_t>(87648 & 0xFFFF));
    StateRecord normalised = back;
    normalise(normalised);
    EXPECT_EQ(normalised.led_drive[0], 0xFFFF);
}

TEST(ProgramFiles, LayoutFollowsTheFileName) {
    EXPECT_EQ(layout_for("/tmp/prog.DAT"), FileLayout::legacy);
    EXPECT_EQ(layout_for("prog.dump"), FileLayout::legacy);
    EXPECT_EQ(layout_for("prog.asm"), FileLayout::current);
    EXPECT_EQ(layout_for("/data.d/prog"), FileLayout::current);
    EXPECT_EQ(layout_for("prog."), FileLayout::current);
    EXPECT_EQ(layout_for("Prog.JSON"), FileLayout::json);

    TempFolder folder;
    StateMachineImage image;
    clear_image(image);
    image.states[0].sync_value = 3;
    ASSERT_TRUE(save_file(folder.path("prog.DAT"), image));
    ASSERT_TRUE(save_file(folder.path("prog.dump"), image));
    ASSERT_TRUE(save_file(folder.path("prog"), image));
    EXPECT_EQ(TempFolder::read(folder.path("prog.DAT")).size(), kLegacyRecordSize);
    EXPECT_EQ(TempFolder::read(folder.path("prog.dump")).size(), kLegacyRecordSize);
    EXPECT_EQ(TempFolder::read(folder.path("prog")).size(), StateRecord::size);
    std::string why;
    ASSERT_TRUE(load_file(folder.path("prog.dump"), image, why));
    EXPECT_EQ(image.states[0].sync_value, 0);
}

TEST(ProgramFiles, LegacyLossesNameWhatTheLayoutCannotKeep) {
    StateMachineImage image;
    clear_image(image);
    EXPECT_FALSE(legacy_losses(image).any());
    const auto losses_of = [&image](auto change) {
        StateMachineImage changed = image;
        change(changed.states[0]);
        return legacy_losses(changed);
    };
    EXPECT_EQ(losses_of([](StateRecord& s) { s.power_mode = kPowerHibernating; }),
              LegacyLosses{.hibernation = true});
    EXPECT_EQ(losses_of([](StateRecord& s) { s.sync_value = 1; }),
              LegacyLosses{.sync_values = true});
    EXPECT_EQ(losses_of([](StateRecord& s) { s.led_drive[1] = 1000; }),
              LegacyLosses{.led_currents = true});
    EXPECT_EQ(losses_of([](StateRecord& s) {
                  s.counter[2] = Counter{1, 5, 3, kCounterIncOnly};
              }),
              LegacyLosses{.counter_modes = true});
    EXPECT_EQ(losses_of([](StateRecord& s) { s.microstep_code = 9; }), LegacyLosses{.other = true});
    // What every load changes is no loss of this layout: a state not yet normalised.
    EXPECT_FALSE(losses_of([](StateRecord& s) {
                     s.normalised = 0;
                     s.hall_stop_inject = 300;
                 }).any());
    EXPECT_EQ(legacy_losses_text({.hibernation = true, .led_currents = true, .other = true}),
              "hibernation (read back as idle), LED currents other than the default, other "
              "values it has no place for");
}

TEST(ProgramFiles, ReadingNormalises) {
    StateRecord raw;
    raw.dive_trigger = DepthTrigger{4, 7, 9, 1};
    raw.led_drive[2] = 12;
    const StateBytes bytes = encode(raw);
    StateMachineImage image;
    std::string why;
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    ASSERT_TRUE(read_program(in, FileLayout::current, image, why));
    EXPECT_EQ(image.last_index, 0);
    EXPECT_EQ(image.states[0].dive_trigger, DepthTrigger{});
    EXPECT_EQ(image.states[0].led_drive[2], 0xFFFF);
    EXPECT_EQ(image.states[0].normalised, 1);
}

// A damaged file is refused whole, naming where it goes wrong; the image stays as it was.
TEST(ProgramFiles, ADamagedFileIsRefusedWithTheByteWhereItGoesWrong) {
    const auto repeated = [](std::size_t size, std::size_t n, std::size_t extra) {
        return std::string(size * n + extra, '\0');
    };
    const struct {
        FileLayout layout;
        std::string text;
        std::string why;
    } cases[] = {
        {FileLayout::current, "", "byte 0: no states (the file is empty)"},
        {FileLayout::legacy, "", "byte 0: no states (the file is empty)"},
        {FileLayout::current, repeated(77, 1, 1), "byte 77: a partial record (1 of 77 bytes)"},
        {FileLayout::current, std::string(900, '\0'),
         "byte 847: a partial record (53 of 77 bytes)"},
        {FileLayout::legacy, repeated(102, 2, 101),
         "byte 204: a partial record (101 of 102 bytes)"},
        {FileLayout::current, repeated(77, 300, 0), "byte 19635: more than 255 states"},
        {FileLayout::legacy, repeated(102, 256, 0), "byte 26010: more than 255 states"},
        {FileLayout::json, "[]", "line 1: no states"},
    };
    for (const auto& c : cases) {
        StateMachineImage image;
        image.states[0].sync_value = 7;
        std::string why;
        std::istringstream in(c.text);
        EXPECT_FALSE(read_program(in, c.layout, image, why)) << c.why;
        EXPECT_EQ(why, c.why);
        EXPECT_EQ(image.states[0].sync_value, 7) << c.why;
    }
    StateMachineImage image;
    std::string why;
    std::istringstream full(repeated(77, 255, 0));
    EXPECT_TRUE(read_program(full, FileLayout::current, image, why)) << why;
    EXPECT_EQ(image.last_index, 254);
}

TEST(ProgramFiles, AFileThatCannotBeOpenedLeavesTheImage) {
    StateMachineImage image;
    std::string why;
    TempFolder folder;
    image.states[0].sync_value = 1;
    EXPECT_FALSE(load_file(folder.path("missing.asm"), image, why));
    EXPECT_EQ(why, "cannot open the file");
    EXPECT_EQ(image.states[0].sync_value, 1);              // left as it was
    EXPECT_FALSE(load_file(folder.path(""), image, why));  // a folder
}

TEST(ProgramJson, AsmToJsonToAsmIsByteIdentical) {
    std::mt19937 rng(77);
    StateMachineImage image;
    image.last_index = 254;
    for (std::size_t i = 0; i < kMaxStates; ++i) {
        image.states[i] = random_record(rng);
        image.states[i].normalised = 1;
        if (i % 2 == 0) {
            image.states[i].pump_stop_mode = static_cast<std::uint8_t>(i % 3);
            image.states[i].counter[0].mode = static_cast<std::uint8_t>(i % 3);
            image.states[i].power_mode = static_cast<std::uint8_t>(i % 4);
            image.states[i].led_drive = {0xFFFF, 0, 0xFFFF, 0};
        }
    }
    std::ostringstream asm_out;
    ASSERT_TRUE(write_program(asm_out, FileLayout::current, image));
    std::ostringstream json_out;
    ASSERT_TRUE(write_program(json_out, FileLayout::json, image));
    StateMachineImage back;
    std::string why;
    std::istringstream json_in(json_out.str());
    ASSERT_TRUE(read_program(json_in, FileLayout::json, back, why)) << why;
    std::ostringstream asm_again;
    ASSERT_TRUE(write_program(asm_again, FileLayout::current, back));
    EXPECT_EQ(asm_again.str(), asm_out.str());
}

TEST(ProgramJson, ReadsAsADiffShowsMeaning) {
    StateMachineImage image;
    clear_image(image);
    StateRecord& s = image.states[0];
    s.valve_mask = 0b1001;
    s.pump_stop_mode = kStopOnTime;
    s.counter[1] = Counter{1, 2, 0, kCounterIncAndTest};
    s.dive_trigger = DepthTrigger{0, 2, 0, 0};
    s.pump_direction = 4;  // no list text: written so that it cannot pass for one
    std::ostringstream out;
    ASSERT_TRUE(write_program(out, FileLayout::json, image));
    const std::string text = out.str();
    EXPECT_NE(text.find("    \"valve_mask\": [0,3],\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"led_drive\": [\"On\",\"On\",\"On\",\"On\"]"), std::string::npos);
    EXPECT_NE(text.find("\"pump_stop_mode\": \"Timeout\""), std::string::npos);
    EXPECT_NE(text.find("\"microstep_code\": \"16\""), std::string::npos);
    EXPECT_NE(
        text.find("      {\"increment\":1,\"limit\":2,\"next_state\":0,\"mode\":\"Inc & Test\"},"),
        std::string::npos);
    EXPECT_NE(text.find("\"dive_trigger\": {\"level\":\"Below P2\",\"next_state\":0}"),
              std::string::npos);
    EXPECT_NE(text.find("\"power_mode\": \"Operating\""), std::string::npos);
    EXPECT_NE(text.find("\"pump_direction\": {\"unlisted\":4}"), std::string::npos) << text;
}

TEST(ProgramJson, RefusalsNameTheLineAndField) {
    StateMachineImage image;
    clear_image(image);
    image.last_index = 1;
    new_default_state(image, 1);
    std::ostringstream out;
    ASSERT_TRUE(write_program(out, FileLayout::json, image));
    const std::string good = out.str();
    auto refusal = [](std::string text, const std::string& from, const std::string& to) {
        const auto at = text.find(from, text.find("  },\n"));
        text.replace(at, from.size(), to);
        StateMachineImage img;
        img.states[0].sync_value = 7;
        std::string why;
        std::istringstream in(text);
        EXPECT_FALSE(read_program(in, FileLayout::json, img, why));
        EXPECT_EQ(img.states[0].sync_value, 7);  // left as it was
        return why;
    };
    // State 1 begins on line 36.
    EXPECT_EQ(refusal(good, "\"pump_on\"", "\"pump_of\""),
              "line 42: state 1, field \"pump_of\": unknown field");
    EXPECT_EQ(refusal(good, "\"Inc Only\"", "\"Inc and Test\""),
              "line 57: state 1, field \"counter[0].mode\": unknown text \"Inc and Test\" "
              "(expected one of \"Inc Only\", \"Inc & Test\", \"Reset\")");
    EXPECT_EQ(refusal(good, "\"sync_value\": 0", "\"sync_value\": 256"),
              "line 54: state 1, field \"sync_value\": 256 is out of range 0..255");
    EXPECT_EQ(refusal(good, "\"delay_s\": 1", "\"delay_s\": -1"),
              "line 66: state 1, field \"delay_s\": -1 is out of range 0..4294967295");
    EXPECT_EQ(refusal(good, "\"valve_mask\": []", "\"valve_mask\": [16]"),
              "line 38: state 1, field \"valve_mask\": 16 is out of range 0..15");
    EXPECT_EQ(refusal(good, "\"microstep_code\": \"16\"", "\"microstep_code\": 8"),
              "line 46: state 1, field \"microstep_code\": a bare number 8 (expected one of "
              "\"16\", \"8\", \"4\", \"2\", \"1\", or {\"unlisted\": 8} for a code the list does "
              "not name)");
    EXPECT_EQ(refusal(good, "\"sync_value\": 0", "\"sync_value\": 0,\n    \"sync_value\": 3"),
              "line 55: state 1, field \"sync_value\": given more than once");
    EXPECT_EQ(refusal(good, "\"mode\":\"Inc Only\"", "\"mode\":\"Reset\",\"mode\":\"Inc Only\""),
              "line 57: state 1, field \"counter[0].mode\": given more than once");
    EXPECT_EQ(refusal(good, "\"normalised\": 1,\n", ""),
              "line 36: state 1, field \"normalised\": missing field");
    EXPECT_EQ(refusal(good, "\"Operating\"", "Operating").substr(0, 36),
              "invalid JSON: parse error at line 68");
    EXPECT_EQ(refusal(good, "\"sync_value\": 0", "\"sync_value\": 1e400"),
              "invalid JSON: number overflow parsing '1e400'");
}

}  // namespace
}  // namespace kelpira::statemachine
