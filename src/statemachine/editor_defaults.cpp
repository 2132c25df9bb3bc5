// New-state defaults from the sensor's optics and pump/valve default records.
#include "statemachine/editor_defaults.hpp"

#include "common/bytes.hpp"
#include "link/actuator_commands.hpp"

namespace kelpira::statemachine {

bool read_state_defaults(link::SensorLink& link, StateDefaults& defaults) {
    bool ok = true;
    link::RecordBytes<link::kOpticsDefaultsSize> optics{};
    if (link::get_optics_defaults(link, optics) == 0) {
        // Two reserved bytes, the photodiode supply, then four LED currents in µA.
        common::ByteReader r(optics);
        r.skip(2);
        defaults.photodiode_power = r.u8();
        for (auto& current : defaults.led_current_ua) {
            current = r.u16();
        }
    } else {
        ok = false;
    }
    link::RecordBytes<link::kPumpValveDefaultsSize> pump{};
    if (link::get_pump_valve_defaults(link, pump) == 0) {
        // reserved, direction, current, period, micro-steps, stop condition, the two Hall
        // limits, step count, time-out, Hall supply, valve spike time.
        common::ByteReader r(pump);
        r.skip(2);
        defaults.winding_current_ma = r.u16();
        defaults.step_period_us = r.u32();
        defaults.microstep_code = r.u8();
        defaults.pump_stop_mode = r.u8();
        defaults.hall_stop_inject = r.u16();
        defaults.hall_stop_withdraw = r.u16();
        defaults.step_count = r.u32();
        defaults.pump_timeout_s = r.u32();
        defaults.hall_power = r.u8();
    } else {
        ok = false;
    }
    return ok;
}

}  // namespace kelpira::statemachine
