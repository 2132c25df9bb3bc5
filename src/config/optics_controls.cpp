// Controls to records and back for the optics, valves and pump dialog.
#include "config/optics_controls.hpp"

#include <algorithm>
#include <bit>
#include <cmath>

#include "common/decimal_milli.hpp"
#include "common/number_text.hpp"

namespace kelpira::config {

namespace {

using common::field_unsigned_value;
using common::kept_flag;
using common::show_value;

template <typename T>
T in_range(const OpticsField& field, std::uint32_t low, std::uint32_t high) {
    return static_cast<T>(field_unsigned_value(field, low, high));
}

void show_number(OpticsField& field, std::uint32_t value) {
    show_value(field, value, std::to_string(value));
}

std::string volts_text(float v) {
    return common::fixed_text(v, 5);
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
    return static_cast<std::uint16_t>(std::min<double>(ua, records::kLedCurrentMaxUa));
}

float pmt_control_v(std::uint8_t instrument, float volts) {
    if (instrument != records::kPmtH10492) {
        return volts;
    }
    if (std::isnan(volts) || volts < records::kPmtControlMinV) {
        return records::kPmtControlMinV;
    }
    return std::min(volts, records::kPmtControlMaxV);
}

void read_controls(OpticsControls& c, ActuatorRecords& r) {
    records::OpticsDefaults& o = r.optics;
    const records::OpticsDefaults stored_optics = o;
    o = records::OpticsDefaults{};
    o.photodiode_power = kept_flag(c.photodiode_power, stored_optics.photodiode_power);
    for (std::size_t i = 0; i < records::kLedCount; ++i) {
        const auto shown = common::unedited_value(c.led_ma[i]);
        o.led_current_ua[i] =
            shown ? static_cast<std::uint16_t>(*shown) : led_current_ua(c.led_ma[i].text);
    }

    records::PmtConfig& p = r.pmt;
    const std::uint8_t stored_instrument = p.instrument;
    p = records::PmtConfig{};
    p.instrument = c.pmt_instrument;
    const float typed_v = common::field_f32(c.pmt_control_v);
    // Limited only when the user typed it or chose the instrument: a stored voltage the
    // sensor holds goes back as it is, as the snapshot import does.
    const bool typed =
        !common::unedited_value(c.pmt_control_v) || p.instrument != stored_instrument;
    p.control_v = typed ? pmt_control_v(p.instrument, typed_v) : typed_v;
    if (std::bit_cast<std::uint32_t>(p.control_v) != std::bit_cast<std::uint32_t>(typed_v)) {
        show_value(c.pmt_control_v, p.control_v, volts_text(p.control_v));
    }

    records::DicConductivityConfig& d = r.dic;
    const std::uint8_t stored_rxgain = d.rxgain;
    d = records::DicConductivityConfig{};
    d.rxgain = kept_flag(c.dic_rxgain, stored_rxgain);
    d.offset_v = common::field_f32(c.dic_offset_v);
    d.frequency_khz =
        in_range<std::uint16_t>(c.dic_frequency_khz, kDicFrequencyMinKhz, kDicFrequencyMaxKhz);
    d.excitation_pct = in_range<std::uint8_t>(c.dic_excitation_pct, 0, kDicExcitationMaxPct);

    records::PumpValveDefaults& v = r.pump;
    const records::PumpValveDefaults stored_pump = v;
    v = records::PumpValveDefaults{};
    v.direction = c.pump_direction;
    v.current_ma = in_range<std::uint16_t>(c.pump_current_ma, kPumpCurrentMinMa, kPumpCurrentMaxMa);
    v.step_period_us =
        field_unsigned_value(c.pump_step_period_us, kStepPeriodMinUs, kStepPeriodMaxUs);
    v.microstepping = c.pump_microstepping;
    v.stop_condition = c.pump_stop_condition;
    v.hall_limit_inject =
        in_range<std::uint16_t>(c.hall_limit_inject, kHallLimitMin, kHallLimitMax);
    v.hall_limit_withdraw =
        in_range<std::uint16_t>(c.hall_limit_withdraw, kHallLimitMin, kHallLimitMax);
    v.step_count = stored_pump.step_count;
    v.timeout_s = field_unsigned_value(c.pump_timeout_s, 0, 0xFFFFFFFFu);
    v.hall_power = kept_flag(c.hall_power, stored_pump.hall_power);
    v.valve_spike_ms = in_range<std::uint16_t>(c.valve_spike_ms, 0, kValveSpikeMaxMs);
}

void show_records(const ActuatorRecords& r, OpticsControls& c) {
    for (std::size_t i = 0; i < records::kLedCount; ++i) {
        const std::uint16_t ua = r.optics.led_current_ua[i];
        show_value(c.led_ma[i], ua, common::fixed_text(ua / 1000.0, 3));
    }
    c.photodiode_power = r.optics.photodiode_power != 0;
    c.pmt_instrument = r.pmt.instrument;
    show_value(c.pmt_control_v, r.pmt.control_v, volts_text(r.pmt.control_v));
    c.dic_rxgain = r.dic.rxgain != 0;
    show_value(c.dic_offset_v, r.dic.offset_v,
               common::fixed_text(r.dic.offset_v + kOffsetShowBias, 4));
    show_number(c.dic_frequency_khz, r.dic.frequency_khz);
    show_number(c.dic_excitation_pct, r.dic.excitation_pct);
    c.pump_direction = r.pump.direction;
    show_number(c.pump_current_ma, r.pump.current_ma);
    show_number(c.pump_step_period_us, r.pump.step_period_us);
    c.pump_microstepping = r.pump.microstepping;
    c.pump_stop_condition = r.pump.stop_condition;
    show_number(c.hall_limit_inject, r.pump.hall_limit_inject);
    show_number(c.hall_limit_withdraw, r.pump.hall_limit_withdraw);
    show_number(c.pump_timeout_s, r.pump.timeout_s);
    c.hall_power = r.pump.hall_power != 0;
    show_number(c.valve_spike_ms, r.pump.valve_spike_ms);
}

std::uint16_t valve_mask(const OpticsControls& c) {
    std::uint16_t mask = 0;
    for (std::size_t i = 0; i < records::kValveCount; ++i) {
        if (c.valves[i]) {
            mask = static_cast<std::uint16_t>(mask | (1u << i));
        }
    }
    return mask;
}

std::string channel_text(std::uint16_t value, bool as_volts) {
    return as_volts ? common::fixed_text(value * 5.0 / 65536.0, 5) : std::to_string(value);
}

}  // namespace kelpira::config
