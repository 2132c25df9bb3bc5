// Field-by-field conversion between the current and the legacy state record.
#include "statemachine/legacy_layout.hpp"

#include "common/bytes.hpp"

namespace kelpira::statemachine {

namespace {

constexpr double kLedToLegacy = 1.3374489795918367;    // 65535 / 49000
constexpr double kLedFromLegacy = 0.7476920729381247;  // 49000 / 65535

constexpr std::size_t kGroupCount = kCounterCount + 2;  // six counters, dive, climb

std::uint16_t scale_led(std::uint16_t value, double factor) {
    if (value == kLedOn) {
        return kLedOn;
    }
    // Truncated toward zero, then kept in 16 bits as the older program stored it.
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(value * factor) & 0xFFFFu);
}

std::uint8_t microstep_divisor(std::uint8_t code) {
    switch (code) {
        case 0:
            return 16;
        case 1:
            return 8;
        case 2:
            return 4;
        case 3:
            return 2;
        default:
            return 1;
    }
}

std::uint8_t microstep_code(std::uint8_t divisor) {
    switch (divisor) {
        case 16:
            return 0;
        case 8:
            return 1;
        case 4:
            return 2;
        case 2:
            return 3;
        default:
            return 4;
    }
}

// The eight 4-byte groups of the current record as {byte 0, byte 1, byte 2, byte 3}.
std::array<std::array<std::uint8_t, 4>, kGroupCount> groups_of(const StateRecord& s) {
    std::array<std::array<std::uint8_t, 4>, kGroupCount> g{};
    for (std::size_t k = 0; k < kCounterCount; ++k) {
        const Counter& c = s.counter[k];
        g[k] = {c.increment, c.limit, c.next_state, c.mode};
    }
    for (std::size_t t = 0; t < 2; ++t) {
        const DepthTrigger& d = t == 0 ? s.dive_trigger : s.climb_trigger;
        g[kCounterCount + t] = {d.reserved0, d.level, d.next_state, d.reserved3};
    }
    return g;
}

void set_groups(StateRecord& s, const std::array<std::array<std::uint8_t, 4>, kGroupCount>& g) {
    for (std::size_t k = 0; k < kCounterCount; ++k) {
        s.counter[k] = Counter{g[k][0], g[k][1], g[k][2], g[k][3]};
    }
    s.dive_trigger = DepthTrigger{g[6][0], g[6][1], g[6][2], g[6][3]};
    s.climb_trigger = DepthTrigger{g[7][0], g[7][1], g[7][2], g[7][3]};
}

std::uint8_t flag(bool b) {
    return b ? 1 : 0;
}

}  // namespace

std::uint16_t led_to_legacy(std::uint16_t drive) {
    return scale_led(drive, kLedToLegacy);
}
std::uint16_t led_from_legacy(std::uint16_t code) {
    return scale_led(code, kLedFromLegacy);
}

LegacyBytes to_legacy(const StateRecord& s) {
    LegacyBytes out{};
    common::ByteWriter w(out);
    w.u8(0);
    w.u8(s.default_next);
    w.u32(s.delay_s);
    w.u8(flag(s.delay_mode == kDelaySeconds));
    w.u8(s.power_mode == kPowerOperating || s.power_mode == kPowerSleeping ? s.power_mode
                                                                           : kPowerIdle);
    for (std::size_t i = 0; i < kValveCount; ++i) {
        w.u8(flag((s.valve_mask >> i) & 1u));
    }
    w.u8(s.hall_power);
    w.u8(s.photodiode_power);
    w.zeros(5);
    for (const auto led : s.led_drive) {
        w.u16(led_to_legacy(led));
    }
    w.u8(flag(s.pump_direction == 1));
    w.u8(s.pump_on == 1 ? 3 : 0);
    w.u8(flag(s.pump_stop_mode == kStopOnHall));
    w.u8(flag(s.pump_stop_mode == kStopOnStepCount));
    w.u8(flag(s.pump_stop_mode != kStopOnHall && s.pump_stop_mode != kStopOnStepCount));
    w.u16(s.winding_current_ma);
    w.u32(s.step_period_us);
    w.u32(s.step_count);
    w.u32(s.pump_timeout_s);
    w.u8(s.pump_timeout_next);
    w.u16(s.hall_stop_inject);
    w.u16(s.hall_stop_withdraw);
    w.u8(microstep_divisor(s.microstep_code));
    w.u8(flag(s.state_switch == kSwitchOn));
    w.u8(flag(s.state_switch == kSwitchOff));
    w.zeros(3);
    for (const auto& g : groups_of(s)) {
        w.u8(g[0]);
        w.u8(g[2]);  // the legacy layout swaps the second and third bytes
        w.u8(g[1]);
        w.u8(flag(g[3] == kCounterReset));
    }
    w.u8(0);
    return out;
}

StateRecord from_legacy(std::span<const std::uint8_t, kLegacyRecordSize> bytes) {
    common::ByteReader r(bytes);
    StateRecord s;
    r.skip(1);
    s.default_next = r.u8();
    s.delay_s = r.u32();
    s.delay_mode = r.u8() == 1 ? kDelaySeconds : kDelaySchedule;
    const std::uint8_t power = r.u8();
    s.power_mode = power == kPowerOperating || power == kPowerSleeping ? power : kPowerIdle;
    for (std::size_t i = 0; i < kValveCount; ++i) {
        if (r.u8() != 0) {
            s.valve_mask = static_cast<std::uint16_t>(s.valve_mask | (1u << i));
        }
    }
    s.hall_power = r.u8();
    s.photodiode_power = r.u8();
    r.skip(5);
    for (auto& led : s.led_drive) {
        led = led_from_legacy(r.u16());
    }
    s.pump_direction = r.u8() == 1 ? 1 : 0;
    s.pump_on = r.u8() == 3 ? 1 : 0;
    const std::uint8_t stop_hall = r.u8();
    const std::uint8_t stop_steps = r.u8();
    r.skip(1);  // stop on time: whatever is neither of the other two
    s.pump_stop_mode = stop_hall == 1    ? kStopOnHall
                       : stop_steps == 1 ? kStopOnStepCount
                                         : kStopOnTime;
    s.winding_current_ma = r.u16();
    s.step_period_us = r.u32();
    s.step_count = r.u32();
    s.pump_timeout_s = r.u32();
    s.pump_timeout_next = r.u8();
    s.hall_stop_inject = r.u16();
    s.hall_stop_withdraw = r.u16();
    s.microstep_code = microstep_code(r.u8());
    const std::uint8_t switch_on = r.u8();
    const std::uint8_t switch_off = r.u8();
    s.state_switch = switch_on == 1 ? kSwitchOn : switch_off == 1 ? kSwitchOff : kSwitchUnset;
    r.skip(3);
    std::array<std::array<std::uint8_t, 4>, kGroupCount> groups{};
    for (auto& g : groups) {
        g[0] = r.u8();
        g[2] = r.u8();
        g[1] = r.u8();
        const std::uint8_t reset = r.u8();
        g[3] = reset != 0 ? kCounterReset : g[1] != 0 ? kCounterIncAndTest : kCounterIncOnly;
    }
    set_groups(s, groups);
    return s;
}

}  // namespace kelpira::statemachine
