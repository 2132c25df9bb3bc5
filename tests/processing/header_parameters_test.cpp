// A stored raw file's header keys, read in any order, come back as the NetCDF parameters with
// the same keys, in the order the results files have always listed them, and the same values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "processing/netcdf_parameters.hpp"
#include "temp_raw_file.hpp"

namespace kelpira::processing {
namespace {

struct Case {
    RawChemistry raw;
    ChemistryChoice choice;
    std::vector<std::pair<std::string, double>> keys;  // after "KELPIRA.CHEMISTRY.", in order
};

const Case kCases[] = {
    {RawChemistry::nutrient,
     ChemistryChoice::nutrient,
     {{"TYPE", 1},
      {"SENSOR_VERSION", 0},
      {"MEASUREMENT_CHANNEL_MEDIUM", 1},
      {"MEASUREMENT_CHANNEL_SHORT", 2},
      {"MEASUREMENT_CHANNEL_LONG", 3},
      {"MONITORING_CHANNEL_MEDIUM", 4},
      {"MONITORING_CHANNEL_SHORT", 5},
      {"MONITORING_CHANNEL_LONG", 255},
      {"OUTPUT_CHANNEL_SELECTION", 254},
      {"SAMPLE_INTAKE_STATE", 6},
      {"SAMPLE_MEASUREMENT_STATE", 7},
      {"BLANK_MEASUREMENT_STATE", 8},
      {"STANDARD1_MEASUREMENT_STATE", 9},
      {"STANDARD2_MEASUREMENT_STATE", 10},
      {"STANDARD1_CONCENTRATION", 12.5},
      {"STANDARD2_CONCENTRATION", 0.25},
      {"STANDARD_ADJUSTMENT", 2},
      {"PROCESSING_TRIGGER", 3},
      {"ENABLE_OPTICAL_CORRECTION", 1},
      {"OC_SAMPLE_MEASUREMENT_STATE", 11},
      {"OC_BLANK_MEASUREMENT_STATE", 12}}},
    {RawChemistry::ph,
     ChemistryChoice::ph,
     {{"TYPE", 4},
      {"SENSOR_VERSION", 0},
      {"SAMPLE_INTAKE_STATE", 1},
      {"SAMPLE_MEASUREMENT_STATE", 2},
      {"SAMPLE_INTERVAL", 300000},
      {"INPUT_CHANNEL_434", 3},
      {"INPUT_CHANNEL_578", 4},
      {"BLANK_START_OFFSET", 50},
      {"BLANK_END_OFFSET", 70},
      {"ABSORBANCE_MIN_434", 0.125},
      {"ABSORBANCE_MAX_578", 0.625},
      {"DPH_BY_DT", -0.015625},
      {"R_ADJUSTMENT_SCALE", 1.5},
      {"R_ADJUSTMENT_OFFSET", -0.5},
      {"T1_ADJUSTMENT_SCALE", 0.25},
      {"T2_ADJUSTMENT_SCALE", 0.75},
      {"THERMISTOR_INPUT_CHANNEL.0", 5},
      {"THERMISTOR_CAL_A.0", 1},
      {"THERMISTOR_CAL_B.0", 2},
      {"THERMISTOR_CAL_C.0", 3},
      {"THERMISTOR_CAL_D.0", 4},
      {"THERMISTOR_INPUT_CHANNEL.1", 6},
      {"THERMISTOR_CAL_A.1", 5},
      {"THERMISTOR_CAL_B.1", 6},
      {"THERMISTOR_CAL_C.1", 7},
      {"THERMISTOR_CAL_D.1", 8}}},
    {RawChemistry::dic,
     ChemistryChoice::dic,
     {{"TYPE", 8},
      {"SENSOR_VERSION", 0},
      {"INLET.0.TYPE", 1},
      {"INLET.0.INTAKE_STATE", 2},
      {"INLET.0.MEASUREMENT_STATE", 3},
      {"INLET.0.CRM_VALUE", 0},
      {"INLET.1.TYPE", 0},
      {"INLET.1.INTAKE_STATE", 0},
      {"INLET.1.MEASUREMENT_STATE", 0},
      {"INLET.1.CRM_VALUE", 0},
      {"INLET.2.TYPE", 2},
      {"INLET.2.INTAKE_STATE", 4},
      {"INLET.2.MEASUREMENT_STATE", 5},
      {"INLET.2.CRM_VALUE", 2012.5},
      {"THERMISTOR_INPUT_CHANNEL.0", 7},
      {"THERMISTOR_CAL_A.0", 0.5},
      {"THERMISTOR_CAL_B.0", 1.5},
      {"THERMISTOR_CAL_C.0", 2.5},
      {"THERMISTOR_CAL_D.0", 3.5}}},
};

TEST(HeaderParameters, EveryKeyComesBackUnderItsOwnName) {
    for (const auto& c : kCases) {
        // Written last key first: the keys are found by name, not by place.
        std::string text = "%KELPIRA.HEADER_START\n";
        for (auto it = c.keys.rbegin(); it != c.keys.rend(); ++it) {
            char value[32];
            std::snprintf(value, sizeof value, "%.9g", it->second);
            text += "%KELPIRA.CHEMISTRY." + it->first + "=" + value + "\n";
        }
        text += "%KELPIRA.HEADER_END\n";
        testing::TempRawFile file(text);
        auto raw = file.open();
        RawHeader header;
        read_header(raw, c.raw, header);
        const auto params = processing_parameters(c.choice, header);
        ASSERT_EQ(params.size(), c.keys.size()) << text;
        for (std::size_t i = 0; i < params.size(); ++i) {
            EXPECT_EQ(params[i].key, "KELPIRA.CHEMISTRY." + c.keys[i].first);
            EXPECT_EQ(params[i].value, c.keys[i].second) << c.keys[i].first;
        }
    }
    RawHeader dic;
    const auto params = processing_parameters(ChemistryChoice::dic, dic);
    const auto name_of = [&](std::string_view key) {
        const auto it = std::find_if(params.begin(), params.end(), [&](const auto& p) {
            return p.key == "KELPIRA.CHEMISTRY." + std::string(key);
        });
        return it == params.end() ? std::string() : it->name;
    };
    EXPECT_EQ(name_of("INLET.2.CRM_VALUE"), "inlet_2_crm_value");
    EXPECT_EQ(name_of("THERMISTOR_CAL_D.0"), "thermistor_cal_d_0");
}

}  // namespace
}  // namespace kelpira::processing
