// Packing and factory defaults of the pump and valve defaults record.
#include "records/pump_valve_defaults.hpp"

#include "common/bytes.hpp"

namespace kelpira::records {

PumpValveDefaults decode_pump_valve_defaults(std::span<const std::uint8_t> data) {
    common::ByteReader r(data);
    PumpValveDefaults p;
    p.reserved0 = r.u8();
    p.direction = r.u8();
    p.current_ma = r.u16();
    p.step_period_us = r.u32();
    p.microstepping = r.u8();
    p.stop_condition = r.u8();
    p.hall_limit_inject = r.u16();
    p.hall_limit_withdraw = r.u16();
    p.step_count = r.u32();
    p.timeout_s = r.u32();
    p.hall_power = r.u8();
    p.valve_spike_ms = r.u16();
    return p;
}

std::array<std::uint8_t, PumpValveDefaults::size> encode(const PumpValveDefaults& p) {
    std::array<std::uint8_t, PumpValveDefaults::size> out{};
    common::ByteWriter w(out);
    w.u8(p.reserved0);
    w.u8(p.direction);
    w.u16(p.current_ma);
    w.u32(p.step_period_us);
    w.u8(p.microstepping);
    w.u8(p.stop_condition);
    w.u16(p.hall_limit_inject);
    w.u16(p.hall_limit_withdraw);
    w.u32(p.step_count);
    w.u32(p.timeout_s);
    w.u8(p.hall_power);
    w.u16(p.valve_spike_ms);
    return out;
}

PumpValveDefaults default_pump_valve_defaults() {
    PumpValveDefaults p;
    p.direction = kPumpInject;
    p.current_ma = 250;
    p.step_period_us = 1000;
    p.microstepping = 1;
    p.stop_condition = kStopHallSensors;
    p.hall_limit_inject = 2000;
    p.hall_limit_withdraw = 2000;
    p.step_count = 3200;
    p.timeout_s = 30;
    p.hall_power = 1;
    p.valve_spike_ms = 50;
    return p;
}

}  // namespace kelpira::records
