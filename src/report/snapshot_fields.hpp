// The fields of every record a configuration snapshot holds, by the names the records use,
// each with what its dialog lets the user set it to (the dialogs' own lists and limits).
// Layout bytes and reserved bytes are not listed: the sensor's own are written back. Each
// function serves both the writer (const record) and the reader.
#pragma once

#include <array>
#include <concepts>
#include <type_traits>

#include "config/chemistry_entries.hpp"
#include "config/chemistry_lists.hpp"
#include "config/optics_controls.hpp"
#include "config/schedule_time.hpp"
#include "config/thermistors_controller.hpp"
#include "link/identity_records.hpp"
#include "records/chemistry_config.hpp"
#include "records/clock_records.hpp"
#include "records/input_channels.hpp"
#include "records/nutrient_params.hpp"
#include "records/optics_records.hpp"
#include "records/processing_params.hpp"
#include "records/pump_valve_defaults.hpp"
#include "records/thermistor_config.hpp"
#include "report/snapshot_json.hpp"

namespace kelpira::report {

template <typename R, typename T>
concept RecordOf = std::same_as<std::remove_const_t<R>, T>;

inline constexpr Within kState{0, config::kLastEntryState};
inline constexpr Within kInputChannel{0, records::kInputChannels - 1};
inline constexpr Within kScheduleTime{0, config::kLatestScheduleTime};

// A nutrient channel's monitor, as its dialog's list offers it: "None" or an input channel.
inline constexpr auto kMonitorValues = [] {
    std::array<std::uint32_t, records::kInputChannels + 1> values{records::kNoMonitor};
    for (std::uint32_t i = 0; i < records::kInputChannels; ++i) {
        values[i + 1] = i;
    }
    return values;
}();
inline constexpr OneOf kMonitor{kMonitorValues};

struct ChemistryEntry {
    std::uint8_t value;
    std::string_view text;
};

// The chemistries by their tab texts.
inline constexpr auto kChemistryNames = [] {
    std::array<ChemistryEntry, records::kChemistryTable.size()> names{};
    for (std::size_t i = 0; i < names.size(); ++i) {
        names[i] = {records::code_of(records::kChemistryTable[i].code),
                    records::kChemistryTable[i].tab_text};
    }
    return names;
}();

template <typename V, RecordOf<records::ChemistryConfig> R>
void fields(V& v, R& c) {
    v.list("chemistry", c.chemistry, kChemistryNames);
    v.number("sample_interval_ms", c.sample_interval_ms,
             Within{config::kSampleIntervalMinMs, config::kSampleIntervalMaxMs});
    v.list("multiplexer", c.multiplexer, config::kMultiplexers);
    v.number("start_auto_deployment", c.start_auto_deployment);
    v.number("start_manual_flushing", c.start_manual_flushing);
    v.number("start_manual_priming", c.start_manual_priming);
    v.number("start_manual_deployment", c.start_manual_deployment);
    v.number("start_special1", c.start_special1);
    v.number("start_special2", c.start_special2);
    v.number("start_special3", c.start_special3);
}

template <typename V, RecordOf<records::GenericParams> R>
void fields(V& v, R& p) {
    v.number("sample_intake_state", p.sample_intake_state, kState);
    v.number("sample_measurement_state", p.sample_measurement_state, kState);
    v.numbers("offset", p.offset);
    v.numbers("scale", p.scale);
}

template <typename V, RecordOf<records::NutrientParams> R>
void fields(V& v, R& p) {
    v.list("sensor_version", p.sensor_version, config::kSensorVersions);
    v.list("output_channel", p.output_channel, config::kNutrientOutputs);
    v.number("sample_intake_state", p.sample_intake_state, kState);
    v.number("sample_measurement_state", p.sample_measurement_state, kState);
    v.number("blank_measurement_state", p.blank_measurement_state, kState);
    v.number("standard1_state", p.standard1_state, kState);
    v.number("standard2_state", p.standard2_state, kState);
    v.number("standard1_nmol", p.standard1_nmol);
    v.number("standard2_nmol", p.standard2_nmol);
    v.list("standard_adjustment", p.standard_adjustment, config::kStandardAdjustments);
    v.list("processing_trigger", p.processing_trigger, config::kNutrientTriggers);
    v.number("optical_correction", p.optical_correction, kSwitch);
    v.number("optical_sample_state", p.optical_sample_state, kState);
    v.number("optical_blank_state", p.optical_blank_state, kState);
    v.number("output_monitored", p.output_monitored);
    v.number("output_monitor", p.output_monitor);
    v.number("measure_medium", p.measure_medium, kInputChannel);
    v.number("measure_short", p.measure_short, kInputChannel);
    v.number("measure_long", p.measure_long, kInputChannel);
    v.number("monitor_medium", p.monitor_medium, kMonitor);
    v.number("monitor_short", p.monitor_short, kMonitor);
    v.number("monitor_long", p.monitor_long, kMonitor);
}

template <typename V, RecordOf<records::PhParams> R>
void fields(V& v, R& p) {
    v.list("sensor_version", p.sensor_version, config::kSensorVersions);
    v.number("input_434", p.input_434, kInputChannel);
    v.number("input_578", p.input_578, kInputChannel);
    v.number("sample_intake_state", p.sample_intake_state, kState);
    v.number("sample_measurement_state", p.sample_measurement_state, kState);
    v.number("blank_start_s", p.blank_start_s);
    v.number("blank_end_s", p.blank_end_s);
    v.number("absorbance_min_434", p.absorbance_min_434);
    v.number("absorbance_max_578", p.absorbance_max_578);
    v.number("dph_dt", p.dph_dt);
    v.number("r_scale", p.r_scale);
    v.number("r_offset", p.r_offset);
    v.number("t1_scale", p.t1_scale);
    v.number("t2_scale", p.t2_scale);
}

template <typename V, RecordOf<records::TaParams> R>
void fields(V& v, R& p) {
    v.list("sensor_version", p.sensor_version, config::kSensorVersions);
    v.number("measurement_channel", p.measurement_channel, kInputChannel);
    v.number("monitor_led1", p.monitor_led1, kInputChannel);
    v.number("monitor_led2", p.monitor_led2, kInputChannel);
    v.number("sample_intake_state", p.sample_intake_state, kState);
    v.number("blank_led1_state", p.blank_led1_state, kState);
    v.number("blank_led2_state", p.blank_led2_state, kState);
    v.number("sample_led1_state", p.sample_led1_state, kState);
    v.number("sample_led2_state", p.sample_led2_state, kState);
    v.list("processing_trigger", p.processing_trigger, config::kTaTriggers);
    v.number("temperature_coefficient", p.temperature_coefficient);
    v.number("titrant_molarity", p.titrant_molarity);
    v.number("pka", p.pka);
    v.number("e1", p.e1);
    v.number("e2", p.e2);
    v.number("e3", p.e3);
}

template <typename V, RecordOf<records::DicParams> R>
void fields(V& v, R& p) {
    v.list("sensor_version", p.sensor_version, config::kSensorVersions);
    v.items("inlet", p.inlet, [](auto& w, auto& inlet) {
        w.list("type", inlet.type, config::kDicInletTypes);
        w.number("intake_state", inlet.intake_state, kState);
        w.number("measurement_state", inlet.measurement_state, kState);
        w.number("crm_umol_kg", inlet.crm_umol_kg);
    });
}

// No fields: the two bytes are the sensor's.
template <typename V, RecordOf<records::AmmoniaParams> R>
void fields(V&, R&) {}

template <typename V, RecordOf<records::OpticsDefaults> R>
void fields(V& v, R& o) {
    v.number("photodiode_power", o.photodiode_power, kSwitch);
    v.numbers("led_current_ua", o.led_current_ua, Within{0, records::kLedCurrentMaxUa});
}

template <typename V, RecordOf<records::PmtConfig> R>
void fields(V& v, R& p) {
    v.list("instrument", p.instrument, records::kPmtInstruments);
    v.number("control_v", p.control_v);
}

template <typename V, RecordOf<records::DicConductivityConfig> R>
void fields(V& v, R& d) {
    v.number("rxgain", d.rxgain, kSwitch);
    v.number("offset_v", d.offset_v);
    v.number("frequency_khz", d.frequency_khz,
             Within{config::kDicFrequencyMinKhz, config::kDicFrequencyMaxKhz});
    v.number("excitation_pct", d.excitation_pct, Within{0, config::kDicExcitationMaxPct});
}

template <typename V, RecordOf<records::PumpValveDefaults> R>
void fields(V& v, R& p) {
    v.list("direction", p.direction, records::kPumpDirections);
    v.number("current_ma", p.current_ma,
             Within{config::kPumpCurrentMinMa, config::kPumpCurrentMaxMa});
    v.number("step_period_us", p.step_period_us,
             Within{config::kStepPeriodMinUs, config::kStepPeriodMaxUs});
    v.list("microstepping", p.microstepping, records::kMicrostepping);
    v.list("stop_condition", p.stop_condition, records::kStopConditions);
    v.number("hall_limit_inject", p.hall_limit_inject,
             Within{config::kHallLimitMin, config::kHallLimitMax});
    v.number("hall_limit_withdraw", p.hall_limit_withdraw,
             Within{config::kHallLimitMin, config::kHallLimitMax});
    v.number("step_count", p.step_count);
    v.number("timeout_s", p.timeout_s);
    v.number("hall_power", p.hall_power, kSwitch);
    v.number("valve_spike_ms", p.valve_spike_ms, Within{0, config::kValveSpikeMaxMs});
}

template <typename V, RecordOf<records::ThermistorConfig> R>
void fields(V& v, R& t) {
    v.number("input_channel", t.input_channel, kInputChannel);
    v.number("a3", t.a3);
    v.number("a2", t.a2);
    v.number("a1", t.a1);
    v.number("a0", t.a0);
}

struct IntervalKindEntry {
    std::uint8_t value;
    std::string_view text;
};

inline constexpr std::array<IntervalKindEntry, 4> kIntervalKinds{{
    {records::kMeasureContinuously, "Continuously"},
    {records::kMeasureEveryHalfHour, "Every 30 minutes"},
    {records::kMeasureEveryNHours, "Every N hours"},
    {records::kMeasureEveryNMinutes, "Every N minutes"},
}};

// Times in the schedule's encoding: seconds from 1970 to the date and time as entered. The
// layout is the sensor's and stays. How the interval count goes with the kind, and what the
// sensor's layout makes of the kind, the import checks on the whole record.
template <typename V, RecordOf<records::MeasurementSchedule> R>
void fields(V& v, R& s) {
    v.list("interval_kind", s.interval_kind, kIntervalKinds);
    v.number("start_time", s.start_time, kScheduleTime);
    v.number("stop_enabled", s.stop_enabled, kSwitch);
    v.number("stop_time", s.stop_time, kScheduleTime);
    v.number("interval_count", s.interval_count);
}

// What an import writes of the identity when asked to.
template <typename V, RecordOf<link::SensorIdentification> R>
void fields(V& v, R& id) {
    v.text("name", id.name, link::kSensorNameField);
    v.number("serial_number", id.serial_number);
}

}  // namespace kelpira::report
