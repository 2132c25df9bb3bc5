// Controls to records and back for the optics, valves and pump dialog.
#include "config/optics_controls.hpp"

#include <algorithm>
#include <bit>
#include <cmath>

#include "common/decimal_milli.hpp"
#include "common/number_text.hpp"
#include "records/record_form.hpp"

namespace kelpira::config {

namespace {

using common::kept_flag;

// The row's value of the typed control: its limits and format, the shown bits when untouched.
template <typename Rec>
void read_row(const OpticsField& control, const records::Field<Rec>& row, Rec& record) {
    row.set(record, 0, records::field_bits(control, row.spec, row.type));
}

template <typename Rec>
void show_row(const Rec& record, const records::Field<Rec>& row, OpticsField& control) {
    records::show_field(control, row.spec, row.get(record, 0));
}

using records::DicConductivityConfig;
using records::OpticsDefaults;
using records::PmtConfig;
using records::PumpValveDefaults;
namespace rows = optics_rows;

}  // namespace

std::uint16_t led_current_ua(std::string_view ma_text) {
    const double ua = common::decimal_milli(ma_text);
    if (!(ua > 0)) {
        return 0;  // negative, zero or no number
    }
    return static_cast<std::uint16_t>(std::min<double>(ua, rows::led.spec.high));
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
    OpticsDefaults& o = r.optics;
    const OpticsDefaults stored_optics = o;
    o = OpticsDefaults{};
    o.photodiode_power = kept_flag(c.photodiode_power, stored_optics.photodiode_power);
    for (std::size_t i = 0; i < records::kLedCount; ++i) {
        const auto shown = common::unedited_value(c.led_ma[i]);
        o.led_current_ua[i] =
            shown ? static_cast<std::uint16_t>(*shown) : led_current_ua(c.led_ma[i].text);
    }

    PmtConfig& p = r.pmt;
    const std::uint8_t stored_instrument = p.instrument;
    p = PmtConfig{};
    p.instrument = c.pmt_instrument;
    read_row(c.pmt_control_v, rows::pmt_control_v, p);
    const float typed_v = p.control_v;
    // Limited only when the user typed it or chose the instrument: a stored voltage the
    // sensor holds goes back as it is, as the snapshot import does.
    const bool typed =
        !common::unedited_value(c.pmt_control_v) || p.instrument != stored_instrument;
    p.control_v = typed ? pmt_control_v(p.instrument, typed_v) : typed_v;
    if (std::bit_cast<std::uint32_t>(p.control_v) != std::bit_cast<std::uint32_t>(typed_v)) {
        show_row(p, rows::pmt_control_v, c.pmt_control_v);
    }

    DicConductivityConfig& d = r.dic;
    const std::uint8_t stored_rxgain = d.rxgain;
    d = DicConductivityConfig{};
    d.rxgain = kept_flag(c.dic_rxgain, stored_rxgain);
    read_row(c.dic_offset_v, rows::dic_offset_v, d);
    read_row(c.dic_frequency_khz, rows::dic_frequency_khz, d);
    read_row(c.dic_excitation_pct, rows::dic_excitation_pct, d);

    PumpValveDefaults& v = r.pump;
    const PumpValveDefaults stored_pump = v;
    v = PumpValveDefaults{};
    v.direction = c.pump_direction;
    read_row(c.pump_current_ma, rows::pump_current_ma, v);
    read_row(c.pump_step_period_us, rows::pump_step_period_us, v);
    v.microstepping = c.pump_microstepping;
    v.stop_condition = c.pump_stop_condition;
    read_row(c.hall_limit_inject, rows::hall_limit_inject, v);
    read_row(c.hall_limit_withdraw, rows::hall_limit_withdraw, v);
    v.step_count = stored_pump.step_count;
    read_row(c.pump_timeout_s, rows::pump_timeout_s, v);
    v.hall_power = kept_flag(c.hall_power, stored_pump.hall_power);
    read_row(c.valve_spike_ms, rows::valve_spike_ms, v);
}

void show_records(const ActuatorRecords& r, OpticsControls& c) {
    for (std::size_t i = 0; i < records::kLedCount; ++i) {
        records::show_field(c.led_ma[i], rows::led.spec, rows::led.get(r.optics, i));
    }
    c.photodiode_power = r.optics.photodiode_power != 0;
    c.pmt_instrument = r.pmt.instrument;
    show_row(r.pmt, rows::pmt_control_v, c.pmt_control_v);
    c.dic_rxgain = r.dic.rxgain != 0;
    show_row(r.dic, rows::dic_offset_v, c.dic_offset_v);
    show_row(r.dic, rows::dic_frequency_khz, c.dic_frequency_khz);
    show_row(r.dic, rows::dic_excitation_pct, c.dic_excitation_pct);
    c.pump_direction = r.pump.direction;
    show_row(r.pump, rows::pump_current_ma, c.pump_current_ma);
    show_row(r.pump, rows::pump_step_period_us, c.pump_step_period_us);
    c.pump_microstepping = r.pump.microstepping;
    c.pump_stop_condition = r.pump.stop_condition;
    show_row(r.pump, rows::hall_limit_inject, c.hall_limit_inject);
    show_row(r.pump, rows::hall_limit_withdraw, c.hall_limit_withdraw);
    show_row(r.pump, rows::pump_timeout_s, c.pump_timeout_s);
    c.hall_power = r.pump.hall_power != 0;
    show_row(r.pump, rows::valve_spike_ms, c.valve_spike_ms);
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
