// The pump and valve defaults record's codec (its field table) and factory defaults.
#include "records/pump_valve_defaults.hpp"

#include "records/actuator_fields.hpp"

namespace kelpira::records {

PumpValveDefaults decode_pump_valve_defaults(std::span<const std::uint8_t> data) {
    return decode_record<PumpValveDefaults>(data);
}

std::array<std::uint8_t, PumpValveDefaults::size> encode(const PumpValveDefaults& p) {
    return encode_record(p);
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
