// The controls of "Configure Optics, Valves & Pump Defaults" as plain data, and the rules
// between them and the four records: reading the controls into records (clamps, unit
// conversions, list values) and showing records in the controls.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/form.hpp"
#include "records/actuator_fields.hpp"
#include "records/chemistry_config.hpp"
#include "records/optics_records.hpp"
#include "records/pump_valve_defaults.hpp"

namespace kelpira::config {

// The row of the field each control shows, named as the control: its caption, list, limits
// and format.
namespace optics_rows {
inline constexpr const auto& led = records::row_of<records::OpticsDefaults>("led_current_ua");
inline constexpr const auto& photodiode_power =
    records::row_of<records::OpticsDefaults>("photodiode_power");
inline constexpr const auto& pmt_instrument = records::row_of<records::PmtConfig>("instrument");
inline constexpr const auto& pmt_control_v = records::row_of<records::PmtConfig>("control_v");
inline constexpr const auto& dic_rxgain = records::row_of<records::DicConductivityConfig>("rxgain");
inline constexpr const auto& dic_offset_v =
    records::row_of<records::DicConductivityConfig>("offset_v");
inline constexpr const auto& dic_frequency_khz =
    records::row_of<records::DicConductivityConfig>("frequency_khz");
inline constexpr const auto& dic_excitation_pct =
    records::row_of<records::DicConductivityConfig>("excitation_pct");
inline constexpr const auto& pump_direction =
    records::row_of<records::PumpValveDefaults>("direction");
inline constexpr const auto& pump_current_ma =
    records::row_of<records::PumpValveDefaults>("current_ma");
inline constexpr const auto& pump_step_period_us =
    records::row_of<records::PumpValveDefaults>("step_period_us");
inline constexpr const auto& pump_microstepping =
    records::row_of<records::PumpValveDefaults>("microstepping");
inline constexpr const auto& pump_stop_condition =
    records::row_of<records::PumpValveDefaults>("stop_condition");
inline constexpr const auto& hall_limit_inject =
    records::row_of<records::PumpValveDefaults>("hall_limit_inject");
inline constexpr const auto& hall_limit_withdraw =
    records::row_of<records::PumpValveDefaults>("hall_limit_withdraw");
inline constexpr const auto& pump_timeout_s =
    records::row_of<records::PumpValveDefaults>("timeout_s");
inline constexpr const auto& hall_power = records::row_of<records::PumpValveDefaults>("hall_power");
inline constexpr const auto& valve_spike_ms =
    records::row_of<records::PumpValveDefaults>("valve_spike_ms");
}  // namespace optics_rows

using OpticsField = common::FormControl;

// What the dialog's controls hold. Typed fields keep their text and the stored value they
// show; lists keep the value of the selected entry (a stored value no entry offers stays);
// check boxes their state.
struct OpticsControls {
    std::array<OpticsField, records::kLedCount> led_ma;  // "Optics LED 0 (mA)" ..
    bool photodiode_power = false;
    std::uint8_t pmt_instrument = records::kPmtNone;
    OpticsField pmt_control_v;
    bool dic_rxgain = false;
    OpticsField dic_offset_v;
    OpticsField dic_frequency_khz;
    OpticsField dic_excitation_pct;
    std::uint8_t pump_direction = records::kPumpInject;
    OpticsField pump_current_ma;
    OpticsField pump_step_period_us;
    std::uint8_t pump_microstepping = 0;
    std::uint8_t pump_stop_condition = records::kStopHallSensors;
    OpticsField hall_limit_inject;
    OpticsField hall_limit_withdraw;
    OpticsField pump_timeout_s;
    bool hall_power = false;
    OpticsField valve_spike_ms;

    // The test selections, held only in the dialog.
    std::array<bool, records::kValveCount>
        valves{};  // the boxes numbered 0..15 beside "Test Valves"
    bool pump_continuously = false;
    bool test_valves = false;
    bool test_optics = false;
    bool test_pump = false;
    bool show_as_volts = false;
};

// The four records as the dialog holds them.
struct ActuatorRecords {
    records::OpticsDefaults optics;
    records::PmtConfig pmt;
    records::DicConductivityConfig dic;
    records::PumpValveDefaults pump;
    records::ChemistryConfig
        chemistry;  // as read on loading; the optics test sends two of its fields
};

// LED current in microamperes from the field's mA text: the decimal text times 1000,
// truncated, then at most 48000 (negative or no number: 0).
std::uint16_t led_current_ua(std::string_view ma_text);
// The PMT control voltage kept in the record: for an H10492 limited to 0.5..1.1 V, for any
// other instrument unchanged.
float pmt_control_v(std::uint8_t instrument, float volts);

// Rebuilds every record from the controls, with the fixed bytes. A field, check box or list
// the user left alone keeps the value in `records` exactly; typed values are limited to their
// ranges. `step_count` has no control: the value the sensor last reported is kept. A limited
// PMT voltage is written back to its field.
void read_controls(OpticsControls& controls, ActuatorRecords& records);

// Shows the records in the controls; the test selections are left as they are.
void show_records(const ActuatorRecords& records, OpticsControls& controls);

// The valve boxes as the test's mask: bit i for box i.
std::uint16_t valve_mask(const OpticsControls& controls);

// A channel value as "Ch 0" .. "Ch 7" show it: the integer, or value x 5 / 65536 volts
// "%.5f".
std::string channel_text(std::uint16_t value, bool as_volts);

}  // namespace kelpira::config
