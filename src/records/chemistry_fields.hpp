// The field tables of the chemistry records: the chemistry configuration, the Generic, pH, TA
// and nutrient processing parameters and a thermistor. Each row is the one place a field is
// described; the codec, the chemistry pages, the processing dialogs and the snapshots read it.
#pragma once

#include "records/chemistry_config.hpp"
#include "records/chemistry_lists.hpp"
#include "records/field_table.hpp"
#include "records/input_channels.hpp"
#include "records/nutrient_params.hpp"
#include "records/processing_params.hpp"
#include "records/thermistor_config.hpp"

namespace kelpira::records {

// A state number as a page takes it, and an input channel.
inline constexpr std::int64_t kStateLow = 0;
inline constexpr std::int64_t kStateHigh = kLastEntryState;
inline constexpr std::int64_t kChannelHigh = kInputChannels - 1;

inline constexpr RecordTable<ChemistryConfig, 13> kChemistryConfigTable{
    link::CommandCode::GET_CHEMISTRY_CONFIG,
    link::CommandCode::SET_CHEMISTRY_CONFIG,
    ChemistryConfig::size,
    {{
        field<&ChemistryConfig::reserved0>({.name = "reserved0", .offset = 0, .reserved = true}),
        field<&ChemistryConfig::chemistry>({.name = "chemistry",
                                            .offset = 1,
                                            .format = FieldFormat::list,
                                            .caption = "Chemistry",
                                            .choices = kChemistryNames}),
        field<&ChemistryConfig::sample_interval_ms>({.name = "sample_interval_ms",
                                                     .offset = 2,
                                                     .caption = "Sample Interval (ms)",
                                                     .low = kSampleIntervalMinMs,
                                                     .high = kSampleIntervalMaxMs,
                                                     .unit = "ms"}),
        field<&ChemistryConfig::multiplexer>({.name = "multiplexer",
                                              .offset = 6,
                                              .format = FieldFormat::list,
                                              .caption = "Multiplexer",
                                              .choices = kMultiplexers}),
        field<&ChemistryConfig::start_auto_deployment>(
            {.name = "start_auto_deployment", .offset = 7, .caption = "Auto Deployment"}),
        field<&ChemistryConfig::start_manual_flushing>(
            {.name = "start_manual_flushing", .offset = 8, .caption = "Manual Flushing"}),
        field<&ChemistryConfig::start_manual_priming>(
            {.name = "start_manual_priming", .offset = 9, .caption = "Manual Priming"}),
        field<&ChemistryConfig::start_manual_deployment>(
            {.name = "start_manual_deployment", .offset = 10, .caption = "Manual Deployment"}),
        field<&ChemistryConfig::start_special1>(
            {.name = "start_special1", .offset = 11, .caption = "Special 1"}),
        field<&ChemistryConfig::start_special2>(
            {.name = "start_special2", .offset = 12, .caption = "Special 2"}),
        field<&ChemistryConfig::start_special3>(
            {.name = "start_special3", .offset = 13, .caption = "Special 3"}),
        field<&ChemistryConfig::reserved14>({.name = "reserved14", .offset = 14, .reserved = true}),
        field<&ChemistryConfig::reserved16>({.name = "reserved16", .offset = 16, .reserved = true}),
    }},
};

inline constexpr RecordTable<GenericParams, 5> kGenericParamsTable{
    link::CommandCode::GET_PROCESSING_PARAMS,
    link::CommandCode::SET_PROCESSING_PARAMS,
    GenericParams::size,
    {{
        field<&GenericParams::layout>({.name = "layout", .offset = 0, .reserved = true}),
        field<&GenericParams::sample_intake_state>({.name = "sample_intake_state",
                                                    .offset = 1,
                                                    .caption = "Sample Intake State",
                                                    .low = kStateLow,
                                                    .high = kStateHigh}),
        field<&GenericParams::sample_measurement_state>({.name = "sample_measurement_state",
                                                         .offset = 2,
                                                         .caption = "Sample Measurement State",
                                                         .low = kStateLow,
                                                         .high = kStateHigh}),
        field<&GenericParams::offset>(
            {.name = "offset", .offset = 3, .format = FieldFormat::fixed5, .caption = "Offset"}),
        field<&GenericParams::scale>(
            {.name = "scale", .offset = 35, .format = FieldFormat::fixed5, .caption = "Scale"}),
    }},
};

inline constexpr RecordTable<PhParams, 15> kPhParamsTable{
    link::CommandCode::GET_PROCESSING_PARAMS,
    link::CommandCode::SET_PROCESSING_PARAMS,
    PhParams::size,
    {{
        field<&PhParams::layout>({.name = "layout", .offset = 0, .reserved = true}),
        field<&PhParams::sensor_version>({.name = "sensor_version",
                                          .offset = 1,
                                          .format = FieldFormat::list,
                                          .caption = "Sensor Version",
                                          .choices = kSensorVersions}),
        field<&PhParams::input_434>({.name = "input_434",
                                     .offset = 2,
                                     .format = FieldFormat::channel,
                                     .caption = "Input Channel (434nm)",
                                     .low = 0,
                                     .high = kChannelHigh}),
        field<&PhParams::input_578>({.name = "input_578",
                                     .offset = 3,
                                     .format = FieldFormat::channel,
                                     .caption = "Input Channel (578nm)",
                                     .low = 0,
                                     .high = kChannelHigh}),
        field<&PhParams::sample_intake_state>({.name = "sample_intake_state",
                                               .offset = 4,
                                               .caption = "Sample Intake State",
                                               .low = kStateLow,
                                               .high = kStateHigh}),
        field<&PhParams::sample_measurement_state>({.name = "sample_measurement_state",
                                                    .offset = 5,
                                                    .caption = "Sample Measurement State",
                                                    .low = kStateLow,
                                                    .high = kStateHigh}),
        field<&PhParams::blank_start_s>({.name = "blank_start_s",
                                         .offset = 6,
                                         .caption = "Blank Start Offset (seconds)",
                                         .unit = "s"}),
        field<&PhParams::blank_end_s>({.name = "blank_end_s",
                                       .offset = 8,
                                       .caption = "Blank End Offset (seconds)",
                                       .unit = "s"}),
        field<&PhParams::absorbance_min_434>({.name = "absorbance_min_434",
                                              .offset = 10,
                                              .format = FieldFormat::fixed5,
                                              .caption = "Absorbance Min (434nm)"}),
        field<&PhParams::absorbance_max_578>({.name = "absorbance_max_578",
                                              .offset = 14,
                                              .format = FieldFormat::fixed5,
                                              .caption = "Absorbance Max (578nm)"}),
        field<&PhParams::dph_dt>(
            {.name = "dph_dt", .offset = 18, .format = FieldFormat::fixed5, .caption = "dpH/dT"}),
        field<&PhParams::r_scale>({.name = "r_scale",
                                   .offset = 22,
                                   .format = FieldFormat::fixed5,
                                   .caption = "R-adjustment (scale)"}),
        field<&PhParams::r_offset>({.name = "r_offset",
                                    .offset = 26,
                                    .format = FieldFormat::fixed5,
                                    .caption = "R-adjustment (offset)"}),
        field<&PhParams::t1_scale>({.name = "t1_scale",
                                    .offset = 30,
                                    .format = FieldFormat::fixed5,
                                    .caption = "Thermistor 1 Adjustment (scale)"}),
        field<&PhParams::t2_scale>({.name = "t2_scale",
                                    .offset = 34,
                                    .format = FieldFormat::fixed5,
                                    .caption = "Thermistor 2 Adjustment (scale)"}),
    }},
};

inline constexpr RecordTable<TaParams, 18> kTaParamsTable{
    link::CommandCode::GET_PROCESSING_PARAMS,
    link::CommandCode::SET_PROCESSING_PARAMS,
    TaParams::size,
    {{
        field<&TaParams::layout>({.name = "layout", .offset = 0, .reserved = true}),
        field<&TaParams::sensor_version>({.name = "sensor_version",
                                          .offset = 1,
                                          .format = FieldFormat::list,
                                          .caption = "Sensor Version",
                                          .choices = kSensorVersions,
                                          .header = "SENSOR_VERSION"}),
        field<&TaParams::measurement_channel>({.name = "measurement_channel",
                                               .offset = 2,
                                               .format = FieldFormat::channel,
                                               .caption = "Measurement Channel",
                                               .low = 0,
                                               .high = kChannelHigh,
                                               .header = "MEASUREMENT_CHANNEL"}),
        field<&TaParams::monitor_led1>({.name = "monitor_led1",
                                        .offset = 3,
                                        .format = FieldFormat::channel,
                                        .caption = "Monitoring Channel (LED1)",
                                        .low = 0,
                                        .high = kChannelHigh,
                                        .header = "MONITORING_CHANNEL_LED1"}),
        field<&TaParams::monitor_led2>({.name = "monitor_led2",
                                        .offset = 4,
                                        .format = FieldFormat::channel,
                                        .caption = "Monitoring Channel (LED2)",
                                        .low = 0,
                                        .high = kChannelHigh,
                                        .header = "MONITORING_CHANNEL_LED2"}),
        field<&TaParams::sample_intake_state>({.name = "sample_intake_state",
                                               .offset = 5,
                                               .caption = "Sample Intake State",
                                               .low = kStateLow,
                                               .high = kStateHigh,
                                               .header = "SAMPLE_INTAKE_STATE"}),
        field<&TaParams::blank_led1_state>({.name = "blank_led1_state",
                                            .offset = 6,
                                            .caption = "Blank Meas State (LED1)",
                                            .low = kStateLow,
                                            .high = kStateHigh,
                                            .header = "BLANK_MEASUREMENT_STATE_LED1"}),
        field<&TaParams::blank_led2_state>({.name = "blank_led2_state",
                                            .offset = 7,
                                            .caption = "Blank Meas State (LED2)",
                                            .low = kStateLow,
                                            .high = kStateHigh,
                                            .header = "BLANK_MEASUREMENT_STATE_LED2"}),
        field<&TaParams::sample_led1_state>({.name = "sample_led1_state",
                                             .offset = 8,
                                             .caption = "Sample Meas State (LED1)",
                                             .low = kStateLow,
                                             .high = kStateHigh,
                                             .header = "SAMPLE_MEASUREMENT_STATE_LED1"}),
        field<&TaParams::sample_led2_state>({.name = "sample_led2_state",
                                             .offset = 9,
                                             .caption = "Sample Meas State (LED2)",
                                             .low = kStateLow,
                                             .high = kStateHigh,
                                             .header = "SAMPLE_MEASUREMENT_STATE_LED2"}),
        field<&TaParams::processing_trigger>({.name = "processing_trigger",
                                              .offset = 10,
                                              .format = FieldFormat::list,
                                              .caption = "Processing Trigger",
                                              .choices = kTaTriggers,
                                              .header = "PROCESSING_TRIGGER"}),
        field<&TaParams::temperature_coefficient>({.name = "temperature_coefficient",
                                                   .offset = 11,
                                                   .format = FieldFormat::general,
                                                   .caption = "Temperature Coefficient (Ct)",
                                                   .header = "CT"}),
        field<&TaParams::reserved15>({.name = "reserved15", .offset = 15, .reserved = true}),
        field<&TaParams::titrant_molarity>({.name = "titrant_molarity",
                                            .offset = 19,
                                            .format = FieldFormat::general,
                                            .caption = "Titrant Acid Molarity (M)",
                                            .unit = "M",
                                            .header = "ACID_MOLARITY"}),
        field<&TaParams::pka>({.name = "pka",
                               .offset = 23,
                               .format = FieldFormat::general,
                               .caption = "pKa",
                               .header = "pKa"}),
        field<&TaParams::e1>({.name = "e1",
                              .offset = 27,
                              .format = FieldFormat::general,
                              .caption = "e1",
                              .header = "e1"}),
        field<&TaParams::e2>({.name = "e2",
                              .offset = 31,
                              .format = FieldFormat::general,
                              .caption = "e2",
                              .header = "e2"}),
        field<&TaParams::e3>({.name = "e3",
                              .offset = 35,
                              .format = FieldFormat::general,
                              .caption = "e3",
                              .header = "e3"}),
    }},
};

inline constexpr RecordTable<NutrientParams, 23> kNutrientParamsTable{
    link::CommandCode::GET_PROCESSING_PARAMS,
    link::CommandCode::SET_PROCESSING_PARAMS,
    NutrientParams::size,
    {{
        field<&NutrientParams::layout>({.name = "layout", .offset = 0, .reserved = true}),
        field<&NutrientParams::sensor_version>({.name = "sensor_version",
                                                .offset = 1,
                                                .format = FieldFormat::list,
                                                .caption = "Sensor Version",
                                                .choices = kSensorVersions}),
        field<&NutrientParams::output_channel>({.name = "output_channel",
                                                .offset = 2,
                                                .format = FieldFormat::list,
                                                .caption = "Output",
                                                .choices = kNutrientOutputs}),
        field<&NutrientParams::sample_intake_state>({.name = "sample_intake_state",
                                                     .offset = 3,
                                                     .caption = "Sample Intake State",
                                                     .low = kStateLow,
                                                     .high = kStateHigh}),
        field<&NutrientParams::sample_measurement_state>({.name = "sample_measurement_state",
                                                          .offset = 4,
                                                          .caption = "Sample Measurement State",
                                                          .low = kStateLow,
                                                          .high = kStateHigh}),
        field<&NutrientParams::blank_measurement_state>({.name = "blank_measurement_state",
                                                         .offset = 5,
                                                         .caption = "Blank Measurement State",
                                                         .low = kStateLow,
                                                         .high = kStateHigh}),
        field<&NutrientParams::standard1_state>({.name = "standard1_state",
                                                 .offset = 6,
                                                 .caption = "Standard 1 Measurement State",
                                                 .low = kStateLow,
                                                 .high = kStateHigh}),
        field<&NutrientParams::standard2_state>({.name = "standard2_state",
                                                 .offset = 7,
                                                 .caption = "Standard 2 Measurement State",
                                                 .low = kStateLow,
                                                 .high = kStateHigh}),
        field<&NutrientParams::standard1_nmol>({.name = "standard1_nmol",
                                                .offset = 8,
                                                .format = FieldFormat::milli,
                                                .caption = "Standard 1 Concentration (\u00b5M)",
                                                .unit = "nmol/l"}),
        field<&NutrientParams::standard2_nmol>({.name = "standard2_nmol",
                                                .offset = 12,
                                                .format = FieldFormat::milli,
                                                .caption = "Standard 2 Concentration (\u00b5M)",
                                                .unit = "nmol/l"}),
        field<&NutrientParams::standard_adjustment>({.name = "standard_adjustment",
                                                     .offset = 16,
                                                     .format = FieldFormat::list,
                                                     .caption = "Standard Adjustment",
                                                     .choices = kStandardAdjustments}),
        field<&NutrientParams::processing_trigger>({.name = "processing_trigger",
                                                    .offset = 17,
                                                    .format = FieldFormat::list,
                                                    .caption = "Processing Trigger",
                                                    .choices = kNutrientTriggers}),
        field<&NutrientParams::optical_correction>({.name = "optical_correction",
                                                    .offset = 18,
                                                    .format = FieldFormat::check,
                                                    .caption = "Enable Optical Correction"}),
        field<&NutrientParams::optical_sample_state>(
            {.name = "optical_sample_state",
             .offset = 19,
             .caption = "Optical Correction State (sample)",
             .low = kStateLow,
             .high = kStateHigh}),
        field<&NutrientParams::optical_blank_state>({.name = "optical_blank_state",
                                                     .offset = 20,
                                                     .caption = "Optical Correction State (blank)",
                                                     .low = kStateLow,
                                                     .high = kStateHigh}),
        // Derived by the page from the output channel and its monitor, never shown.
        field<&NutrientParams::output_monitored>({.name = "output_monitored", .offset = 21}),
        field<&NutrientParams::output_monitor>({.name = "output_monitor", .offset = 22}),
        field<&NutrientParams::measure_medium>({.name = "measure_medium",
                                                .offset = 23,
                                                .format = FieldFormat::channel,
                                                .caption = "Measure",
                                                .low = 0,
                                                .high = kChannelHigh}),
        field<&NutrientParams::measure_short>({.name = "measure_short",
                                               .offset = 24,
                                               .format = FieldFormat::channel,
                                               .caption = "Measure",
                                               .low = 0,
                                               .high = kChannelHigh}),
        field<&NutrientParams::measure_long>({.name = "measure_long",
                                              .offset = 25,
                                              .format = FieldFormat::channel,
                                              .caption = "Measure",
                                              .low = 0,
                                              .high = kChannelHigh}),
        field<&NutrientParams::monitor_medium>({.name = "monitor_medium",
                                                .offset = 26,
                                                .format = FieldFormat::channel,
                                                .caption = "Monitor",
                                                .choices = kMonitorChoices}),
        field<&NutrientParams::monitor_short>({.name = "monitor_short",
                                               .offset = 27,
                                               .format = FieldFormat::channel,
                                               .caption = "Monitor",
                                               .choices = kMonitorChoices}),
        field<&NutrientParams::monitor_long>({.name = "monitor_long",
                                              .offset = 28,
                                              .format = FieldFormat::channel,
                                              .caption = "Monitor",
                                              .choices = kMonitorChoices}),
    }},
};

inline constexpr RecordTable<ThermistorConfig, 6> kThermistorConfigTable{
    link::CommandCode::GET_THERMISTOR_CONFIG,
    link::CommandCode::SET_THERMISTOR_CONFIG,
    ThermistorConfig::size,
    {{
        field<&ThermistorConfig::reserved0>({.name = "reserved0", .offset = 0, .reserved = true}),
        field<&ThermistorConfig::input_channel>({.name = "input_channel",
                                                 .offset = 1,
                                                 .format = FieldFormat::channel,
                                                 .caption = "Input Channel",
                                                 .low = 0,
                                                 .high = kChannelHigh}),
        field<&ThermistorConfig::a3>({.name = "a3", .offset = 2, .format = FieldFormat::fixed5}),
        field<&ThermistorConfig::a2>({.name = "a2", .offset = 6, .format = FieldFormat::fixed5}),
        field<&ThermistorConfig::a1>({.name = "a1", .offset = 10, .format = FieldFormat::fixed5}),
        field<&ThermistorConfig::a0>({.name = "a0", .offset = 14, .format = FieldFormat::fixed5}),
    }},
};

constexpr const auto& record_table(std::type_identity<ChemistryConfig>) {
    return kChemistryConfigTable;
}
constexpr const auto& record_table(std::type_identity<GenericParams>) {
    return kGenericParamsTable;
}
constexpr const auto& record_table(std::type_identity<PhParams>) {
    return kPhParamsTable;
}
constexpr const auto& record_table(std::type_identity<TaParams>) {
    return kTaParamsTable;
}
constexpr const auto& record_table(std::type_identity<NutrientParams>) {
    return kNutrientParamsTable;
}
constexpr const auto& record_table(std::type_identity<ThermistorConfig>) {
    return kThermistorConfigTable;
}

static_assert(tiles(kChemistryConfigTable));
static_assert(tiles(kGenericParamsTable));
static_assert(tiles(kPhParamsTable));
static_assert(tiles(kTaParamsTable));
static_assert(tiles(kNutrientParamsTable));
static_assert(tiles(kThermistorConfigTable));

}  // namespace kelpira::records
