// Packing of the 77-byte state record.
#include "statemachine/state_record.hpp"

#include "common/bytes.hpp"

namespace kelpira::statemachine {

namespace {

Counter read_counter(common::ByteReader& r) {
    Counter c;
    c.increment = r.u8();
    c.limit = r.u8();
    c.next_state = r.u8();
    c.mode = r.u8();
    return c;
}

DepthTrigger read_trigger(common::ByteReader& r) {
    DepthTrigger t;
    t.reserved0 = r.u8();
    t.level = r.u8();
    t.next_state = r.u8();
    t.reserved3 = r.u8();
    return t;
}

}  // namespace

StateRecord decode_state_record(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    StateRecord s;
    s.normalised = r.u8();
    s.valve_mask = r.u16();
    for (auto& led : s.led_drive) {
        led = r.u16();
    }
    s.hall_power = r.u8();
    s.photodiode_power = r.u8();
    s.pump_on = r.u8();
    s.pump_direction = r.u8();
    s.winding_current_ma = r.u16();
    s.step_period_us = r.u32();
    s.microstep_code = r.u8();
    s.pump_stop_mode = r.u8();
    s.hall_stop_inject = r.u16();
    s.hall_stop_withdraw = r.u16();
    s.pump_timeout_next = r.u8();
    s.step_count = r.u32();
    s.pump_timeout_s = r.u32();
    s.state_switch = r.u8();
    s.sync_value = r.u8();
    s.default_next = r.u8();
    for (auto& c : s.counter) {
        c = read_counter(r);
    }
    s.dive_trigger = read_trigger(r);
    s.climb_trigger = read_trigger(r);
    s.delay_s = r.u32();
    s.delay_mode = r.u8();
    s.power_mode = r.u8();
    return s;
}

StateBytes encode(const StateRecord& s) {
    StateBytes out{};
    common::ByteWriter w(out);
    w.u8(s.normalised);
    w.u16(s.valve_mask);
    for (const auto led : s.led_drive) {
        w.u16(led);
    }
    w.u8(s.hall_power);
    w.u8(s.photodiode_power);
    w.u8(s.pump_on);
    w.u8(s.pump_direction);
    w.u16(s.winding_current_ma);
    w.u32(s.step_period_us);
    w.u8(s.microstep_code);
    w.u8(s.pump_stop_mode);
    w.u16(s.hall_stop_inject);
    w.u16(s.hall_stop_withdraw);
    w.u8(s.pump_timeout_next);
    w.u32(s.step_count);
    w.u32(s.pump_timeout_s);
    w.u8(s.state_switch);
    w.u8(s.sync_value);
    w.u8(s.default_next);
    for (const auto& c : s.counter) {
        w.u8(c.increment);
        w.u8(c.limit);
        w.u8(c.next_state);
        w.u8(c.mode);
    }
    for (const auto& t : {s.dive_trigger, s.climb_trigger}) {
        w.u8(t.reserved0);
        w.u8(t.level);
        w.u8(t.next_state);
        w.u8(t.reserved3);
    }
    w.u32(s.delay_s);
    w.u8(s.delay_mode);
    w.u8(s.power_mode);
    return out;
}

}  // namespace kelpira::statemachine
