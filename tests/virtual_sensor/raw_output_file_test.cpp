// The raw output files the emulated sensor writes read back by the PC's raw file reader:
// every header key lands in the field it came from, every row value in its column.
#include "virtual_sensor/raw_output_file.hpp"

#include <gtest/gtest.h>

#include <fstream>

#include "processing/raw_header.hpp"
#include "processing/raw_row_scan.hpp"
#include "records/nutrient_params.hpp"
#include "records/processing_params.hpp"
#include "support/device_folder.hpp"

namespace kelpira::virtual_sensor {
namespace {

using processing::RawChemistry;

processing::RawHeader read_back(const std::string& text, RawChemistry chemistry) {
    kelpira::testing::TempFolder folder;
    const auto path = folder.root + "/R0000001.CSV";
    std::ofstream(path, std::ios::binary) << text;
    auto file = processing::RawFile::open(path);
    EXPECT_TRUE(file.has_value());
    processing::RawHeader h;
    EXPECT_TRUE(processing::read_header(*file, chemistry, h).found);
    return h;
}

TEST(RawOutputFile, NutrientHeaderReadsBackEveryParameter) {
    records::NutrientParams p;
    p.layout = 1;
    p.sensor_version = 3;
    p.output_channel = 2;
    p.sample_intake_state = 4;
    p.sample_measurement_state = 7;
    p.blank_measurement_state = 5;
    p.standard1_state = 6;
    p.standard2_state = 9;
    p.standard1_nmol = 1001;  // "1.001" times 1000 as a double is 1000.999...
    p.standard2_nmol = 25500;
    p.standard_adjustment = 2;
    p.processing_trigger = 3;
    p.optical_correction = 1;
    p.optical_sample_state = 11;
    p.optical_blank_state = 10;
    p.measure_medium = 3;
    p.measure_short = 4;
    p.measure_long = 5;
    p.monitor_medium = 6;
    p.monitor_short = records::kNoMonitor;
    p.monitor_long = 7;
    const auto bytes = records::encode(p);
    RawHeaderSource s;
    s.sensor_name = "Bench Nitrate";
    s.chemistry = records::ChemistryType::silicate;
    s.params = bytes;

    const auto text = raw_file_header(s);
    const auto h = read_back(text, RawChemistry::nutrient_multi);
    EXPECT_EQ(h.chemistry, records::ChemistryType::silicate);
    EXPECT_EQ(h.sensor_name, "Bench Nitrate");
    auto expected = p;
    expected.layout = 0;  // not in the header
    EXPECT_EQ(h.nutrient, expected);
    EXPECT_NE(text.find("%KELPIRA.CHEMISTRY.STANDARD2_CONCENTRATION=25.500\n"), std::string::npos);
    EXPECT_NE(text.find("\n%KELPIRA.HEADER_END\n%Counter,State,Ch 0,"), std::string::npos);
}

TEST(RawOutputFile, PhHeaderKeepsSingleFloatsAndThermistors) {
    records::PhParams p;
    p.input_434 = 2;
    p.input_578 = 3;
    p.sample_intake_state = 1;
    p.sample_measurement_state = 2;
    p.blank_start_s = 40;
    p.blank_end_s = 65;
    p.absorbance_min_434 = 0.1f;
    p.dph_dt = -0.01582f;
    p.r_scale = 1.0123457f;
    p.r_offset = -0.0031f;
    p.t1_scale = 0.3f;
    p.t2_scale = 0.7f;
    const auto bytes = records::encode(p);
    RawHeaderSource s;
    s.chemistry = records::ChemistryType::ph;
    s.sample_interval_ms = 250;
    s.params = bytes;
    s.thermistors[0] = {0, 5, 0.001f, -0.02f, 10.5f, -3.25f};
    s.thermistors[1] = {0, 6, 0, 0, 9.75f, 1.0f / 3.0f};

    const auto h = read_back(raw_file_header(s), RawChemistry::ph);
    EXPECT_EQ(h.ph, p);
    EXPECT_EQ(h.ph_sample_interval_ms, 250u);
    EXPECT_EQ(h.thermistors[0], s.thermistors[0]);
    EXPECT_EQ(h.thermistors[1], s.thermistors[1]);
}

TEST(RawOutputFile, TaAndDicHeadersReadBack) {
    records::TaParams ta;
    ta.measurement_channel = 1;
    ta.monitor_led1 = 2;
    ta.monitor_led2 = 3;
    ta.sample_intake_state = 4;
    ta.blank_led1_state = 5;
    ta.blank_led2_state = 6;
    ta.sample_led1_state = 7;
    ta.sample_led2_state = 8;
    ta.processing_trigger = 2;
    ta.temperature_coefficient = 0.0125f;
    ta.titrant_molarity = 0.1f;
    ta.pka = 4.2f;
    ta.e1 = 0.0036f;
    ta.e2 = 2.2f;
    ta.e3 = 0.0285f;
    const auto ta_bytes = records::encode(ta);
    RawHeaderSource s;
    s.chemistry = records::ChemistryType::ta;
    s.params = ta_bytes;
    EXPECT_EQ(read_back(raw_file_header(s), RawChemistry::ta).ta, ta);

    records::DicParams dic;
    dic.inlet[0] = {1, 3, 4, 0};
    dic.inlet[2] = {2, 7, 8, 2031.5f};
    const auto dic_bytes = records::encode(dic);
    s.chemistry = records::ChemistryType::dic;
    s.params = dic_bytes;
    EXPECT_EQ(read_back(raw_file_header(s), RawChemistry::dic).dic, dic);
}

TEST(RawOutputFile, RowCarriesTheLiveSampleInItsTwentyColumns) {
    records::LiveSample s;
    s.counter = 4294967295u;
    s.state = 200;
    s.channel = {0, 1, 32768, 65535, 100, 200, 300, 400};
    s.temperature_mc = -1250;
    s.voltage_mv = 11987;
    s.hall_i = 1003;
    s.hall_w = 2004;
    s.sensor_time = 1796724000;
    s.platform_salinity = 35.125f;
    s.platform_temperature = 12.5f;
    s.platform_do = 5.25f;
    s.platform_depth = 94.875f;
    s.platform_time = 1796723999;

    const auto text = raw_file_row(s);
    ASSERT_EQ(text.back(), '\n');
    processing::RawRow row;
    ASSERT_TRUE(processing::parse_row(text.substr(0, text.size() - 1), RawChemistry::ph, row));
    EXPECT_EQ(row.counter, 4294967295u);
    EXPECT_EQ(row.state, 200);
    EXPECT_DOUBLE_EQ(row.channels[2], 2.5);
    EXPECT_DOUBLE_EQ(row.channels[3], 4.99992);
    EXPECT_DOUBLE_EQ(row.unused_real[0], -1.25);
    EXPECT_DOUBLE_EQ(row.unused_real[1], 11.987);
    EXPECT_EQ(row.unused_int[0], 1003u);
    EXPECT_EQ(row.sensor_time, 1796724000u);
    EXPECT_DOUBLE_EQ(row.salinity, 35.125);
    EXPECT_DOUBLE_EQ(row.depth, 94.875);
    EXPECT_EQ(row.platform_time, 1796723999u);
    EXPECT_EQ(raw_file_name(12), "R0000012.CSV");
}

}  // namespace
}  // namespace kelpira::virtual_sensor
