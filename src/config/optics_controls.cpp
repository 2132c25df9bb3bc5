// Controls to records and back for the optics, valves and pump dialog.
#include "config/optics_controls.hpp"

#include <algorithm>
#include <cmath>

#include "common/decimal_milli.hpp"
#include "config/typed_fields.hpp"

namespace kelpira::config {

namespace {

template <typename T>
T in_range(const std::string& text, std::uint32_t low, std::uint32_t high) {
    return static_cast<T>(typed_in_range(text, low, high));
}

// The DIC offset is shown a hundredth of a millivolt up, so that a stored 0.12345 that is
// really 0.1234499... still reads 0.1235 as typed.
constexpr double kOffsetShowBias = 0.00001;

}  // namespace

std::uint16_t led_current_ua(std::string_view ma_text) {
    const double ua = common::decimal_milli(ma_text);
    if (!(ua > 0)) {
        return 0;  // negative, zero or no number
    }
    return static_cast<std::uint16_t>(std::min<double>(ua, kLedCurrentMaxUa));
}

float pmt_control_v(std::uint8_t instrument, float volts) {
    if (instrument != kPmtH10492) {
        return volts;
    }
    if (std::isnan(volts) || volts < kPmtControlMinV) {
        return kPmtControlMinV;
    }
    return std::min(volts, kPmtControlMaxV);
}

void read_controls(OpticsControls& c, ActuatorRecords& r) {
    OpticsDefaults& o = r.optics;
    o = OpticsDefaults{};
    o.photodiode_power = c.photodiode_power ? 1 : 0;
    for (std::size_t i = 0; i < kLedCount; ++i) {
        o.led_current_ua[i] = led_current_ua(c.led_ma[i]);
    }

    PmtConfig& p = r.pmt;
    p = PmtConfig{};
    p.instrument = c.pmt_instrument;
    const float typed_v = typed_real(c.pmt_control_v);
    p.control_v = pmt_control_v(p.instrument, typed_v);
    if (p.control_v != typed_v) {
        c.pmt_control_v = fixed_text(p.control_v, 5);
    }

    DicConductivityConfig& d = r.dic;
    d = DicConductivityConfig{};
    d.rxgain = c.dic_rxgain ? 1 : 0;
    d.offset_v = typed_real(c.dic_offset_v);
    d.frequency_khz =
        in_range<std::uint16_t>(c.dic_frequency_khz, kDicFrequencyMinKhz, kDicFrequencyMaxKhz);
    d.excitation_pct = in_range<std::uint8_t>(c.dic_excitation_pct, 0, kDicExcitationMaxPct);

    PumpValveDefaults& v = r.pump;
    const std::uint32_t step_count = v.step_count;
    v = PumpValveDefaults{};
    v.direction = c.pump_direction;
    v.current_ma = in_range<std::uint16_t>(c.pump_current_ma, kPumpCurrentMinMa, kPumpCurrentMaxMa);
    v.step_period_us = typed_in_range(c.pump_step_period_us, kStepPeriodMinUs, kStepPeriodMaxUs);
    v.microstepping = c.pump_microstepping;
    v.stop_condition = c.pump_stop_condition;
    v.hall_limit_inject =
        in_range<std::uint16_t>(c.hall_limit_inject, kHallLimitMin, kHallLimitMax);
    v.hall_limit_withdraw =
        in_range<std::uint16_t>(c.hall_limit_withdraw, kHallLimitMin, kHallLimitMax);
    v.step_count = step_count;
    v.timeout_s = typed_unsigned(c.pump_timeout_s);
    v.hall_power = c.hall_power ? 1 : 0;
    v.valve_spike_ms = in_range<std::uint16_t>(c.valve_spike_ms, 0, kValveSpikeMaxMs);
}

void show_records(const ActuatorRecords& r, OpticsControls& c) {
    for (std::size_t i = 0; i < kLedCount; ++i) {
        c.led_ma[i] = fixed_text(r.optics.led_current_ua[i] / 1000.0, 3);
    }
    c.photodiode_power = r.optics.photodiode_power != 0;
    c.pmt_instrument = r.pmt.instrument;
    c.pmt_control_v = fixed_text(r.pmt.control_v, 5);
    c.dic_rxgain = r.dic.rxgain != 0;
    c.dic_offset_v = fixed_text(r.dic.offset_v + kOffsetShowBias, 4);
    c.dic_frequency_khz = std::to_string(r.dic.frequency_khz);
    c.dic_excitation_pct = std::to_string(r.dic.excitation_pct);
    c.pump_direction = r.pump.direction;
    c.pump_current_ma = std::to_string(r.pump.current_ma);
    c.pump_step_period_us = std::to_string(r.pump.step_period_us);
    c.pump_microstepping = r.pump.microstepping;
    c.pump_stop_condition = r.pump.stop_condition;
    c.hall_limit_inject = std::to_string(r.pump.hall_limit_inject);
    c.hall_limit_withdraw = std::to_string(r.pump.hall_limit_withdraw);
    c.pump_timeout_s = std::to_string(r.pump.timeout_s);
    c.hall_power = r.pump.hall_power != 0;
    c.valve_spike_ms = std::to_string(r.pump.valve_spike_ms);
}

std::uint16_t valve_mask(const OpticsControls& c) {
    std::uint16_t mask = 0;
    for (std::size_t i = 0; i < kValveCount; ++i) {
        if (c.valves[i]) {
            mask = static_cast<std::uint16_t>(mask | (1u << i));
        }
    }
    return mask;
}

std::string channel_text(std::uint16_t value, bool as_volts) {
    return as_volts ? fixed_text(value * 5.0 / 65536.0, 5) : std::to_string(value);
}

}  // namespace kelpira::config
