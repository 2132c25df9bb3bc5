// The header pass: each key landing in its field, per chemistry, and where the pass stops.
#include "processing/raw_header.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "temp_raw_file.hpp"

namespace kelpira::processing {
namespace {

using records::ChemistryType;
using testing::TempRawFile;

HeaderReading read(std::string_view text, RawChemistry c, RawHeader& h,
                   std::span<const HeaderOverride> overrides = {}) {
    TempRawFile t(text);
    auto f = t.open();
    return read_header(f, c, h, overrides);
}

TEST(RawHeaderNutrient, EveryKeyLandsInItsField) {
    RawHeader h;
    const auto r = read(
        "%KELPIRA.HEADER_START\n"
        "%KELPIRA.CHEMISTRY.TYPE=5\n"
        "%KELPIRA.CHEMISTRY.SENSOR_VERSION=258\n"
        "%KELPIRA.CHEMISTRY.MEASUREMENT_CHANNEL_MEDIUM=3\n"
        "%KELPIRA.CHEMISTRY.MEASUREMENT_CHANNEL_SHORT=4\n"
        "%KELPIRA.CHEMISTRY.MEASUREMENT_CHANNEL_LONG=5\n"
        "%KELPIRA.CHEMISTRY.MONITORING_CHANNEL_MEDIUM=6\n"
        "%KELPIRA.CHEMISTRY.MONITORING_CHANNEL_SHORT=7\n"
        "%KELPIRA.CHEMISTRY.MONITORING_CHANNEL_LONG=255\n"
        "%KELPIRA.CHEMISTRY.OUTPUT_CHANNEL_SELECTION=254\n"
        "%KELPIRA.CHEMISTRY.SAMPLE_INTAKE_STATE=10\n"
        "%KELPIRA.CHEMISTRY.SAMPLE_MEASUREMENT_STATE=11\n"
        "%KELPIRA.CHEMISTRY.BLANK_MEASUREMENT_STATE=12\n"
        "%KELPIRA.CHEMISTRY.STANDARD1_MEASUREMENT_STATE=13\n"
        "%KELPIRA.CHEMISTRY.STANDARD2_MEASUREMENT_STATE=270\n"
        "%KELPIRA.CHEMISTRY.STANDARD1_CONCENTRATION=1.001\n"
        "%KELPIRA.CHEMISTRY.STANDARD2_CONCENTRATION= 12.3456 uM\n"
        "%KELPIRA.CHEMISTRY.STANDARD_ADJUSTMENT=2\n"
        "%KELPIRA.CHEMISTRY.PROCESSING_TRIGGER=3\n"
        "%KELPIRA.CHEMISTRY.ENABLE_OPTICAL_CORRECTION=1\n"
        "%KELPIRA.CHEMISTRY.OC_SAMPLE_MEASUREMENT_STATE=20\n"
        "%KELPIRA.CHEMISTRY.OC_BLANK_MEASUREMENT_STATE=21\n"
        "%KELPIRA.CORE.SENSOR_NAME=ignored in single mode\n"
        "%KELPIRA.CHEMISTRY.BLANK_START_OFFSET=99\n"
        "%KELPIRA.HEADER_END\n",
        RawChemistry::nutrient, h);
    EXPECT_TRUE(r.found);
    EXPECT_FALSE(r.read_error);
    EXPECT_EQ(h.chemistry, ChemistryType::nitrite);
    const auto& p = h.nutrient;
    EXPECT_EQ(p.sensor_version, 2);  // low 8 bits
    EXPECT_EQ(p.measure_medium, 3);
    EXPECT_EQ(p.measure_short, 4);
    EXPECT_EQ(p.measure_long, 5);
    EXPECT_EQ(p.monitor_medium, 6);
    EXPECT_EQ(p.monitor_short, 7);
    EXPECT_EQ(p.monitor_long, 255);
    EXPECT_EQ(p.output_channel, 254);
    EXPECT_EQ(p.sample_intake_state, 10);
    EXPECT_EQ(p.sample_measurement_state, 11);
    EXPECT_EQ(p.blank_measurement_state, 12);
    EXPECT_EQ(p.standard1_state, 13);
    EXPECT_EQ(p.standard2_state, 14);    // 270 & 0xFF
    EXPECT_EQ(p.standard1_nmol, 1000u);  // 1.001 x 1000 is just below 1001
    EXPECT_EQ(p.standard2_nmol, 12345u);
    EXPECT_EQ(p.standard_adjustment, 2);
    EXPECT_EQ(p.processing_trigger, 3);
    EXPECT_EQ(p.optical_correction, 1);
    EXPECT_EQ(p.optical_sample_state, 20);
    EXPECT_EQ(p.optical_blank_state, 21);
    EXPECT_EQ(h.sensor_name, "");
    EXPECT_EQ(h.ph.blank_start_s, 50);  // a pH key does not touch a nutrient reading
}

TEST(RawHeaderNutrient, DefaultsAndStopAtColumnLine) {
    RawHeader h;
    h.nutrient.standard1_nmol = 77;
    const auto r = read(
        "%KELPIRA.HEADER_START\n"
        "%KELPIRA.CHEMISTRY.TYPE=1\n"
        "%Counter,State,...\n"
        "%KELPIRA.CHEMISTRY.SAMPLE_INTAKE_STATE=10\n",
        RawChemistry::nutrient, h);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(h.chemistry, ChemistryType::nitrate);
    EXPECT_EQ(h.nutrient.standard1_nmol, 0u);
    EXPECT_EQ(h.nutrient.sample_intake_state, 0);
    EXPECT_EQ(h.nutrient.measure_short, 0);
    EXPECT_EQ(h.nutrient.monitor_medium, 255);
    EXPECT_EQ(h.nutrient.monitor_long, 255);
}

TEST(RawHeaderNutrient, NoHeaderStartAndNoType) {
    RawHeader h;
    const auto r =
        read("%KELPIRA.CHEMISTRY.SAMPLE_INTAKE_STATE=4\n1,2,3\n", RawChemistry::nutrient, h);
    EXPECT_FALSE(r.found);
    EXPECT_FALSE(h.chemistry.has_value());
    EXPECT_EQ(h.nutrient.sample_intake_state, 4);
}

TEST(RawHeaderNutrient, ValuesThatDoNotScanAreIgnored) {
    RawHeader h;
    read(
        "%KELPIRA.HEADER_START\n"
        "%KELPIRA.CHEMISTRY.TYPE=x\n"
        "%KELPIRA.CHEMISTRY.SAMPLE_INTAKE_STATE =4\n"
        "%KELPIRA.CHEMISTRY.BLANK_MEASUREMENT_STATE=-1\n"
        "%KELPIRA.CHEMISTRY.STANDARD1_CONCENTRATION=-5\n"
        "%KELPIRA.CHEMISTRY.STANDARD2_CONCENTRATION=nan\n",
        RawChemistry::nutrient, h);
    EXPECT_FALSE(h.chemistry.has_value());
    EXPECT_EQ(h.nutrient.sample_intake_state, 0);
    EXPECT_EQ(h.nutrient.blank_measurement_state, 255);  // "%u" wraps -1
    EXPECT_EQ(h.nutrient.standard1_nmol, 0u);
    EXPECT_EQ(h.nutrient.standard2_nmol, 0u);
}

TEST(RawHeaderNutrient, OlderSingleChannelKeys) {
    RawHeader h;
    read(
        "%KELPIRA.HEADER_START\n"
        "%KELPIRA.CHEMISTRY.TYPE=1\n"
        "%KELPIRA.CHEMISTRY.INPUT_CHANNEL=1\n"
        "%KELPIRA.CHEMISTRY.ENABLE_DRIFT_CORRECTION_STATE=1\n"
        "%KELPIRA.CHEMISTRY.DRIFT_MONITORING_CHANNEL=4\n"
        "%KELPIRA.HEADER_END\n",
        RawChemistry::nutrient, h);
    EXPECT_EQ(h.nutrient.measure_medium, 0);
    EXPECT_EQ(h.nutrient.measure_short, 1);
    EXPECT_EQ(h.nutrient.measure_long, 2);
    EXPECT_EQ(h.nutrient.output_channel, 1);
    EXPECT_EQ(h.nutrient.monitor_short, 4);
    EXPECT_EQ(h.nutrient.monitor_medium, 255);

    read(
        "%KELPIRA.CHEMISTRY.INPUT_CHANNEL=7\n"
        "%KELPIRA.CHEMISTRY.ENABLE_DRIFT_CORRECTION_STATE=1\n",
        RawChemistry::nutrient, h);
    EXPECT_EQ(h.nutrient.output_channel, 0);
    EXPECT_EQ(h.nutrient.monitor_medium, 255);  // no DRIFT_MONITORING_CHANNEL: none

    read(
        "%KELPIRA.CHEMISTRY.INPUT_CHANNEL=2\n"
        "%KELPIRA.CHEMISTRY.DRIFT_MONITORING_CHANNEL=4\n",
        RawChemistry::nutrient, h);
    EXPECT_EQ(h.nutrient.output_channel, 2);
    EXPECT_EQ(h.nutrient.monitor_long, 255);  // drift correction off
}

TEST(RawHeaderNutrient, SensorNameInMultiFileMode) {
    RawHeader h;
    read(
        "%KELPIRA.HEADER_START\n"
        "%KELPIRA.CORE.SENSOR_NAME=Kelpira 0042 of the southern station\r\n",
        RawChemistry::nutrient_multi, h);
    EXPECT_EQ(h.sensor_name, "Kelpira 0042 of the ");
    read("%KELPIRA.CORE.SENSOR_NAME=K7\n", RawChemistry::nutrient_multi, h);
    EXPECT_EQ(h.sensor_name, "K7");
}

TEST(RawHeaderPh, EveryKeyAndReadingToTheEnd) {
    RawHeader h;
    read(
        "%KELPIRA.HEADER_START\n"
        "%KELPIRA.CHEMISTRY.SENSOR_VERSION=0\n"
        "%KELPIRA.CHEMISTRY.SAMPLE_INTERVAL=300000\n"
        "%KELPIRA.CHEMISTRY.INPUT_CHANNEL_434=2\n"
        "%KELPIRA.CHEMISTRY.INPUT_CHANNEL_578=3\n"
        "%KELPIRA.CHEMISTRY.SAMPLE_INTAKE_STATE=4\n"
        "%KELPIRA.CHEMISTRY.SAMPLE_MEASUREMENT_STATE=5\n"
        "%KELPIRA.CHEMISTRY.BLANK_START_OFFSET=65586\n"
        "%KELPIRA.CHEMISTRY.ABSORBANCE_MIN_434=0.25\n"
        "%KELPIRA.CHEMISTRY.ABSORBANCE_MAX_578=1e300\n"
        "%KELPIRA.CHEMISTRY.DPH_BY_DT=-0.5\n"
        "%KELPIRA.CHEMISTRY.R_ADJUSTMENT_SCALE=2\n"
        "%KELPIRA.CHEMISTRY.R_ADJUSTMENT_OFFSET=0x1p-2\n"
        "%KELPIRA.CHEMISTRY.T1_ADJUSTMENT_SCALE=0.75\n"
        "%KELPIRA.CHEMISTRY.THERMISTOR_INPUT_CHANNEL.1=6\n"
        "%KELPIRA.CHEMISTRY.THERMISTOR_CAL_A.1=1.5\n"
        "%KELPIRA.CHEMISTRY.THERMISTOR_CAL_D.0=-3\n"
        "%KELPIRA.HEADER_END\n"
        "%Counter\n"
        "1,2,3\n"
        "%KELPIRA.CHEMISTRY.BLANK_END_OFFSET=90\n",
        RawChemistry::ph, h);
    EXPECT_EQ(h.chemistry, ChemistryType::ph);  // no TYPE key: pH
    EXPECT_EQ(h.ph_sample_interval_ms, 300000u);
    EXPECT_EQ(h.ph.input_434, 2);
    EXPECT_EQ(h.ph.input_578, 3);
    EXPECT_EQ(h.ph.sample_intake_state, 4);
    EXPECT_EQ(h.ph.sample_measurement_state, 5);
    EXPECT_EQ(h.ph.blank_start_s, 50);  // 16 bits kept
    EXPECT_EQ(h.ph.blank_end_s, 90);    // after the column line, still read for pH
    EXPECT_EQ(h.ph.absorbance_min_434, 0.25f);
    EXPECT_EQ(h.ph.absorbance_max_578, INFINITY);
    EXPECT_EQ(h.ph.dph_dt, -0.5f);
    EXPECT_EQ(h.ph.r_scale, 2.0f);
    EXPECT_EQ(h.ph.r_offset, 0.25f);
    EXPECT_EQ(h.ph.t1_scale, 0.75f);
    EXPECT_EQ(h.ph.t2_scale, 0.5f);
    EXPECT_EQ(h.thermistors[1].input_channel, 6);
    EXPECT_EQ(h.thermistors[1].a3, 1.5f);
    EXPECT_EQ(h.thermistors[0].a0, -3.0f);
}

TEST(RawHeaderPh, DefaultsAndThermistorsKeptAcrossFiles) {
    RawHeader h;
    h.thermistors[0].a1 = 9;
    read("%KELPIRA.HEADER_START\n", RawChemistry::ph, h);
    EXPECT_EQ(h.ph.input_578, 0);
    EXPECT_EQ(h.ph.blank_start_s, 0);
    EXPECT_EQ(h.ph.blank_end_s, 0);
    EXPECT_EQ(h.ph.absorbance_min_434, 0.0f);
    EXPECT_EQ(h.ph.dph_dt, 0.0f);
    EXPECT_EQ(h.ph.r_scale, 0.0f);
    EXPECT_EQ(h.ph.t1_scale, 0.5f);
    EXPECT_EQ(h.ph.t2_scale, 0.5f);
    EXPECT_EQ(h.ph_sample_interval_ms, 100u);
    EXPECT_EQ(h.thermistors[0].a1, 9.0f);
}

TEST(RawHeaderTa, EveryKey) {
    RawHeader h;
    read(
        "%KELPIRA.HEADER_START\n"
        "%KELPIRA.CHEMISTRY.TYPE=7\n"
        "%KELPIRA.CHEMISTRY.SAMPLE_INTAKE_STATE=1\n"
        "%KELPIRA.CHEMISTRY.MEASUREMENT_CHANNEL=2\n"
        "%KELPIRA.CHEMISTRY.MONITORING_CHANNEL_LED1=3\n"
        "%KELPIRA.CHEMISTRY.MONITORING_CHANNEL_LED2=4\n"
        "%KELPIRA.CHEMISTRY.BLANK_MEASUREMENT_STATE_LED1=5\n"
        "%KELPIRA.CHEMISTRY.BLANK_MEASUREMENT_STATE_LED2=6\n"
        "%KELPIRA.CHEMISTRY.SAMPLE_MEASUREMENT_STATE_LED1=7\n"
        "%KELPIRA.CHEMISTRY.SAMPLE_MEASUREMENT_STATE_LED2=8\n"
        "%KELPIRA.CHEMISTRY.PROCESSING_TRIGGER=3\n"
        "%KELPIRA.CHEMISTRY.CT=0.125\n"
        "%KELPIRA.CHEMISTRY.ACID_MOLARITY=0.1\n"
        "%KELPIRA.CHEMISTRY.pKa=4.5\n"
        "%KELPIRA.CHEMISTRY.e1=0.25\n"
        "%KELPIRA.CHEMISTRY.e2=2.5\n"
        "%KELPIRA.CHEMISTRY.e3=0.5\n"
        "%KELPIRA.CHEMISTRY.THERMISTOR_CAL_B.1=7\n"
        "%KELPIRA.HEADER_END\n"
        "%KELPIRA.CHEMISTRY.e3=9\n",
        RawChemistry::ta, h);
    EXPECT_EQ(h.chemistry, ChemistryType::ta);
    const auto& p = h.ta;
    EXPECT_EQ(p.sample_intake_state, 1);
    EXPECT_EQ(p.measurement_channel, 2);
    EXPECT_EQ(p.monitor_led1, 3);
    EXPECT_EQ(p.monitor_led2, 4);
    EXPECT_EQ(p.blank_led1_state, 5);
    EXPECT_EQ(p.blank_led2_state, 6);
    EXPECT_EQ(p.sample_led1_state, 7);
    EXPECT_EQ(p.sample_led2_state, 8);
    EXPECT_EQ(p.processing_trigger, 3);
    EXPECT_EQ(p.temperature_coefficient, 0.125f);
    EXPECT_EQ(p.titrant_molarity, 0.1f);
    EXPECT_EQ(p.pka, 4.5f);
    EXPECT_EQ(p.e1, 0.25f);
    EXPECT_EQ(p.e2, 2.5f);
    EXPECT_EQ(p.e3, 0.5f);  // the pass stopped at HEADER_END
    EXPECT_EQ(h.thermistors[1].a2, 7.0f);
}

TEST(RawHeaderDic, InletKeysAndIndexLimit) {
    RawHeader h;
    read(
        "%KELPIRA.HEADER_START\n"
        "%KELPIRA.CHEMISTRY.TYPE=8\n"
        "%KELPIRA.CHEMISTRY.INLET.0.TYPE=1\n"
        "%KELPIRA.CHEMISTRY.INLET.0.INTAKE_STATE=3\n"
        "%KELPIRA.CHEMISTRY.INLET.0.MEASUREMENT_STATE=4\n"
        "%KELPIRA.CHEMISTRY.INLET. 2.TYPE=2\n"
        "%KELPIRA.CHEMISTRY.INLET.2.CRM_VALUE=2012.5\n"
        "%KELPIRA.CHEMISTRY.INLET.3.TYPE=2\n"
        "%KELPIRA.CHEMISTRY.INLET.-1.TYPE=2\n"
        "%KELPIRA.CHEMISTRY.THERMISTOR_CAL_C.0=2\n"
        "%KELPIRA.CHEMISTRY.THERMISTOR_CAL_C.1=5\n"
        "%KELPIRA.HEADER_END\n",
        RawChemistry::dic, h);
    EXPECT_EQ(h.chemistry, ChemistryType::dic);
    EXPECT_EQ(h.dic.inlet[0].type, 1);
    EXPECT_EQ(h.dic.inlet[0].intake_state, 3);
    EXPECT_EQ(h.dic.inlet[0].measurement_state, 4);
    EXPECT_EQ(h.dic.inlet[1].type, 0);
    EXPECT_EQ(h.dic.inlet[2].type, 2);
    EXPECT_EQ(h.dic.inlet[2].crm_umol_kg, 2012.5f);
    EXPECT_EQ(h.thermistors[0].a1, 2.0f);
    EXPECT_EQ(h.thermistors[1].a1, 0.0f);  // thermistor 1 is not a DIC key
}

TEST(RawHeaderOverrides, KeysSetFromOutsideActLikeHeaderLines) {
    RawHeader h;
    EXPECT_TRUE(apply_header_key(h, RawChemistry::nutrient,
                                 "KELPIRA.CHEMISTRY.STANDARD1_CONCENTRATION", "10"));
    EXPECT_EQ(h.nutrient.standard1_nmol, 10000u);
    EXPECT_FALSE(apply_header_key(h, RawChemistry::nutrient, "KELPIRA.CHEMISTRY.pKa", "1"));
    EXPECT_FALSE(apply_header_key(h, RawChemistry::nutrient, "KELPIRA.CHEMISTRY.TYPE", "x"));

    const std::vector<HeaderOverride> overrides{{"KELPIRA.CHEMISTRY.TYPE", "3"},
                                                {"KELPIRA.CHEMISTRY.INPUT_CHANNEL", "2"}};
    const auto r = read("1,2\n", RawChemistry::nutrient, h, overrides);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(h.chemistry, ChemistryType::silicate);
    EXPECT_EQ(h.nutrient.output_channel, 2);  // older keys resolved after the overrides
    EXPECT_EQ(h.nutrient.measure_long, 2);
}

}  // namespace
}  // namespace kelpira::processing
