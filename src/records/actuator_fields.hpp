// The field tables of the optics, PMT, DIC conductivity and pump and valve records. Each row is
// the one place a field is described: the codec, "Configure Optics, Valves & Pump Defaults",
// the snapshots and the configuration report read it.
#pragma once

#include "records/field_table.hpp"
#include "records/field_words.hpp"
#include "records/optics_records.hpp"
#include "records/pump_valve_defaults.hpp"

namespace kelpira::records {

inline constexpr RecordTable<OpticsDefaults, 4> kOpticsDefaultsTable{
    link::CommandCode::GET_OPTICS_DEFAULTS,
    link::CommandCode::SET_OPTICS_DEFAULTS,
    OpticsDefaults::size,
    {{
        field<&OpticsDefaults::reserved0>({.name = "reserved0", .offset = 0, .reserved = true}),
        field<&OpticsDefaults::reserved1>({.name = "reserved1", .offset = 1, .reserved = true}),
        field<&OpticsDefaults::photodiode_power>({.name = "photodiode_power",
                                                  .offset = 2,
                                                  .format = FieldFormat::check,
                                                  .caption = "Enable Photodiodes 5V Power",
                                                  .report = "Photodiodes 5V Power",
                                                  .choices = kEnabledWords}),
        // One control per LED, %1 its number; microamperes shown as milliamperes.
        field<&OpticsDefaults::led_current_ua>({.name = "led_current_ua",
                                                .offset = 3,
                                                .format = FieldFormat::milli,
                                                .caption = "Optics LED %1 (mA)",
                                                .report = "LED %1 current (mA)",
                                                .low = 0,
                                                .high = kLedCurrentMaxUa,
                                                .unit = "uA"}),
    }},
};

// The control voltage's range for an H10492 depends on the instrument: a record rule, not a
// row's.
inline constexpr RecordTable<PmtConfig, 4> kPmtConfigTable{
    link::CommandCode::GET_PMT_CONFIG,
    link::CommandCode::SET_PMT_CONFIG,
    PmtConfig::size,
    {{
        field<&PmtConfig::reserved0>({.name = "reserved0", .offset = 0, .reserved = true}),
        field<&PmtConfig::instrument>({.name = "instrument",
                                       .offset = 1,
                                       .format = FieldFormat::list,
                                       .caption = "PMT Instrument",
                                       .choices = kPmtInstruments}),
        field<&PmtConfig::control_v>({.name = "control_v",
                                      .offset = 2,
                                      .format = FieldFormat::fixed5,
                                      .caption = "PMT Control (V)",
                                      .unit = "V"}),
        field<&PmtConfig::reserved6>({.name = "reserved6", .offset = 6, .reserved = true}),
    }},
};

inline constexpr RecordTable<DicConductivityConfig, 5> kDicConductivityConfigTable{
    link::CommandCode::GET_DIC_CONFIG,
    link::CommandCode::SET_DIC_CONFIG,
    DicConductivityConfig::size,
    {{
        field<&DicConductivityConfig::reserved0>(
            {.name = "reserved0", .offset = 0, .reserved = true}),
        field<&DicConductivityConfig::rxgain>({.name = "rxgain",
                                               .offset = 1,
                                               .format = FieldFormat::check,
                                               .caption = "DIC Enable RXGAIN",
                                               .report = "DIC RXGAIN",
                                               .choices = kOnOffWords}),
        field<&DicConductivityConfig::offset_v>({.name = "offset_v",
                                                 .offset = 2,
                                                 .format = FieldFormat::fixed4,
                                                 .caption = "DIC Offset (V)",
                                                 .unit = "V"}),
        field<&DicConductivityConfig::frequency_khz>({.name = "frequency_khz",
                                                      .offset = 6,
                                                      .caption = "DIC Frequency (kHz)",
                                                      .low = 20,
                                                      .high = 2000,
                                                      .unit = "kHz"}),
        field<&DicConductivityConfig::excitation_pct>({.name = "excitation_pct",
                                                       .offset = 8,
                                                       .caption = "DIC Excitation (%)",
                                                       .low = 0,
                                                       .high = 100,
                                                       .unit = "%"}),
    }},
};

inline constexpr RecordTable<PumpValveDefaults, 12> kPumpValveDefaultsTable{
    link::CommandCode::GET_PUMP_VALVE_DEFAULTS,
    link::CommandCode::SET_PUMP_VALVE_DEFAULTS,
    PumpValveDefaults::size,
    {{
        field<&PumpValveDefaults::reserved0>({.name = "reserved0", .offset = 0, .reserved = true}),
        field<&PumpValveDefaults::direction>({.name = "direction",
                                              .offset = 1,
                                              .format = FieldFormat::list,
                                              .caption = "Pump Direction",
                                              .choices = kPumpDirections,
                                              .otherwise = "Withdraw"}),
        field<&PumpValveDefaults::current_ma>({.name = "current_ma",
                                               .offset = 2,
                                               .caption = "Pump Current (mA)",
                                               .low = 10,
                                               .high = 1600,
                                               .unit = "mA"}),
        field<&PumpValveDefaults::step_period_us>({.name = "step_period_us",
                                                   .offset = 4,
                                                   .caption = "Pump Step Period  (µS)",
                                                   .report = "Pump Step Period (us)",
                                                   .low = 2,
                                                   .high = 131071,
                                                   .unit = "us"}),
        field<&PumpValveDefaults::microstepping>({.name = "microstepping",
                                                  .offset = 8,
                                                  .format = FieldFormat::list,
                                                  .caption = "Pump Microstepping",
                                                  .choices = kMicrostepping}),
        field<&PumpValveDefaults::stop_condition>({.name = "stop_condition",
                                                   .offset = 9,
                                                   .format = FieldFormat::list,
                                                   .caption = "Pump Stop Condition",
                                                   .choices = kStopConditions}),
        field<&PumpValveDefaults::hall_limit_inject>({.name = "hall_limit_inject",
                                                      .offset = 10,
                                                      .caption = "Pump Hall Sensor 0 (I)",
                                                      .report = "Pump Inject Hall Sensor Limit",
                                                      .low = 1,
                                                      .high = 4095}),
        field<&PumpValveDefaults::hall_limit_withdraw>({.name = "hall_limit_withdraw",
                                                        .offset = 12,
                                                        .caption = "Pump Hall Sensor 1 (W)",
                                                        .report = "Pump Withdraw Hall Sensor Limit",
                                                        .low = 1,
                                                        .high = 4095}),
        // No control: the dialog writes back what the sensor holds.
        field<&PumpValveDefaults::step_count>({.name = "step_count", .offset = 14}),
        field<&PumpValveDefaults::timeout_s>(
            {.name = "timeout_s", .offset = 18, .caption = "Pump Timeout (s)", .unit = "s"}),
        field<&PumpValveDefaults::hall_power>({.name = "hall_power",
                                               .offset = 22,
                                               .format = FieldFormat::check,
                                               .caption = "Enable Hall Sensors 5V Power",
                                               .report = "Hall Sensors 5V Power",
                                               .choices = kEnabledWords}),
        field<&PumpValveDefaults::valve_spike_ms>({.name = "valve_spike_ms",
                                                   .offset = 23,
                                                   .caption = "Valves Spike Time (ms)",
                                                   .low = 0,
                                                   .high = 3000,
                                                   .unit = "ms"}),
    }},
};

static_assert(tiles(kOpticsDefaultsTable));
static_assert(tiles(kPmtConfigTable));
static_assert(tiles(kDicConductivityConfigTable));
static_assert(tiles(kPumpValveDefaultsTable));

constexpr const auto& record_table(std::type_identity<OpticsDefaults>) {
    return kOpticsDefaultsTable;
}
constexpr const auto& record_table(std::type_identity<PmtConfig>) {
    return kPmtConfigTable;
}
constexpr const auto& record_table(std::type_identity<DicConductivityConfig>) {
    return kDicConductivityConfigTable;
}
constexpr const auto& record_table(std::type_identity<PumpValveDefaults>) {
    return kPumpValveDefaultsTable;
}

}  // namespace kelpira::records
