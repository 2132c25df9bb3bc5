// Processing-parameter records: exact bytes, defaults, round trips and the legacy nutrient
// conversion in both directions.
#include <gtest/gtest.h>

#include <vector>

#include "records/nutrient_params.hpp"
#include "records/processing_params.hpp"

namespace kelpira::records {
namespace {

using Bytes = std::vector<std::uint8_t>;

template <std::size_t N>
Bytes bytes_of(const std::array<std::uint8_t, N>& a) {
    return Bytes(a.begin(), a.end());
}

NutrientParams sample_nutrient() {
    NutrientParams p;
    p.layout = 1;
    p.sensor_version = 0;
    p.output_channel = 1;
    p.sample_intake_state = 3;
    p.sample_measurement_state = 4;
    p.blank_measurement_state = 5;
    p.standard1_state = 6;
    p.standard2_state = 7;
    p.standard1_nmol = 12345;
    p.standard2_nmol = 0x01020304;
    p.standard_adjustment = 2;
    p.processing_trigger = 3;
    p.optical_correction = 1;
    p.optical_sample_state = 8;
    p.optical_blank_state = 9;
    p.output_monitored = 1;
    p.output_monitor = 6;
    p.measure_medium = 4;
    p.measure_short = 5;
    p.measure_long = 7;
    p.monitor_medium = 255;
    p.monitor_short = 6;
    p.monitor_long = 255;
    return p;
}

TEST(NutrientParamsRecord, ExactBytesAndRoundTrip) {
    const Bytes expected{1, 0, 1, 3, 4, 5, 6, 7, 0x39, 0x30, 0, 0,   4, 3,  2,
                         1, 2, 3, 1, 8, 9, 1, 6, 4,    5,    7, 255, 6, 255};
    ASSERT_EQ(expected.size(), NutrientParams::size);
    EXPECT_EQ(bytes_of(encode(sample_nutrient())), expected);
    EXPECT_EQ(decode_nutrient_params(expected), sample_nutrient());
}

TEST(NutrientParamsRecord, Defaults) {
    const Bytes expected{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,   0,   0,  0,
                         0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 255, 255, 255};
    EXPECT_EQ(bytes_of(encode(NutrientParams{})), expected);
}

TEST(NutrientParamsLegacy, OlderRecordTakesTheOutputChannelMonitor) {
    Bytes legacy(23, 0);
    legacy[2] = 1;   // output Short
    legacy[8] = 10;  // standard1_nmol = 10
    legacy[21] = 1;  // output_monitored
    legacy[22] = 6;  // output_monitor
    const auto p = nutrient_params_from_legacy(legacy);
    EXPECT_EQ(p.layout, 1);
    EXPECT_EQ(p.output_channel, 1);
    EXPECT_EQ(p.standard1_nmol, 10u);
    EXPECT_EQ(p.measure_medium, 0);
    EXPECT_EQ(p.measure_short, 1);
    EXPECT_EQ(p.measure_long, 2);
    EXPECT_EQ(p.monitor_medium, kNoMonitor);
    EXPECT_EQ(p.monitor_short, 6);
    EXPECT_EQ(p.monitor_long, kNoMonitor);
}

TEST(NutrientParamsLegacy, OutputChannelRules) {
    Bytes legacy(23, 0);
    legacy[2] = 7;  // no such channel: becomes Medium
    legacy[21] = 1;
    legacy[22] = 4;
    auto p = nutrient_params_from_legacy(legacy);
    EXPECT_EQ(p.output_channel, 0);
    EXPECT_EQ(p.monitor_medium, 4);

    legacy[2] = 3;  // kept, but names no monitor
    p = nutrient_params_from_legacy(legacy);
    EXPECT_EQ(p.output_channel, 3);
    EXPECT_EQ(p.monitor_medium, kNoMonitor);
    EXPECT_EQ(p.monitor_short, kNoMonitor);
    EXPECT_EQ(p.monitor_long, kNoMonitor);

    legacy[2] = 2;
    legacy[21] = 0;  // not monitored: the monitor byte is not taken
    p = nutrient_params_from_legacy(legacy);
    EXPECT_EQ(p.monitor_long, kNoMonitor);
}

TEST(NutrientParamsLegacy, WritingTheOlderFormIsTheFirst23BytesWithLayoutZero) {
    const auto full = encode(sample_nutrient());
    Bytes expected(full.begin(), full.begin() + 23);
    expected[0] = 0;
    EXPECT_EQ(bytes_of(encode_legacy(sample_nutrient())), expected);
    // And it reads back to the same current record apart from the per-channel inputs.
    const auto back = nutrient_params_from_legacy(expected);
    EXPECT_EQ(back.standard2_nmol, sample_nutrient().standard2_nmol);
    EXPECT_EQ(back.monitor_short, 6);
    EXPECT_EQ(back.measure_long, 2);
}

TEST(NutrientParamsDerived, OutputMonitorFollowsTheOutputChannel) {
    auto p = sample_nutrient();
    p.output_channel = 0;
    update_output_monitor(p);
    EXPECT_EQ(p.output_monitor, kNoMonitor);
    EXPECT_EQ(p.output_monitored, 0);
    p.output_channel = 1;
    update_output_monitor(p);
    EXPECT_EQ(p.output_monitor, 6);
    EXPECT_EQ(p.output_monitored, 1);
    p.output_channel = kOutputAdaptive;
    update_output_monitor(p);
    EXPECT_EQ(p.output_monitor, kNoMonitor);
    EXPECT_EQ(p.output_monitored, 0);
}

TEST(GenericParamsRecord, DefaultsExactBytes) {
    const auto b = encode(GenericParams{});
    ASSERT_EQ(b.size(), 67u);
    for (std::size_t i = 0; i < 35; ++i) {
        EXPECT_EQ(b[i], 0) << i;
    }
    for (std::size_t i = 35; i < 67; i += 4) {  // 1.0f = 00 00 80 3F
        EXPECT_EQ(Bytes(b.begin() + static_cast<long>(i), b.begin() + static_cast<long>(i) + 4),
                  (Bytes{0, 0, 0x80, 0x3F}));
    }
    GenericParams g;
    g.sample_intake_state = 4;
    g.offset[7] = -1.5f;
    EXPECT_EQ(decode_generic_params(encode(g)), g);
}

TEST(PhParamsRecord, DefaultsExactBytes) {
    const Bytes expected{0,    0,    0,    1,    0,    0,    50,   0,    70,   0, 0xCD, 0xCC, 0xCC,
                         0x3D, 0x9A, 0x99, 0x19, 0x3F, 0xF2, 0x98, 0x81, 0xBC, 0, 0,    0x80, 0x3F,
                         0,    0,    0,    0,    0,    0,    0,    0x3F, 0,    0, 0,    0x3F};
    ASSERT_EQ(expected.size(), PhParams::size);
    EXPECT_EQ(bytes_of(encode(PhParams{})), expected);
    EXPECT_EQ(decode_ph_params(expected), PhParams{});
}

TEST(TaParamsRecord, FieldOffsets) {
    TaParams p;
    p.measurement_channel = 2;
    p.processing_trigger = 3;
    p.temperature_coefficient = 1.0f;
    p.titrant_molarity = 2.0f;
    p.e3 = -2.0f;
    const auto b = encode(p);
    ASSERT_EQ(b.size(), 39u);
    EXPECT_EQ(b[2], 2);
    EXPECT_EQ(b[10], 3);
    EXPECT_EQ(Bytes(b.begin() + 11, b.begin() + 15), (Bytes{0, 0, 0x80, 0x3F}));
    EXPECT_EQ(Bytes(b.begin() + 15, b.begin() + 19), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(Bytes(b.begin() + 19, b.begin() + 23), (Bytes{0, 0, 0, 0x40}));
    EXPECT_EQ(Bytes(b.begin() + 35, b.begin() + 39), (Bytes{0, 0, 0, 0xC0}));
    EXPECT_EQ(decode_ta_params(b), p);
}

TEST(DicParamsRecord, InletBlocksOfSevenBytes) {
    DicParams p;
    p.inlet[1] = {2, 5, 6, 2.0f};
    p.inlet[2] = {1, 7, 8, 0.0f};
    const auto b = encode(p);
    const Bytes expected{0, 0, 0, 0, 0,    0, 0, 0, 0, 0, 0, 2, 5,
                         6, 0, 0, 0, 0x40, 1, 7, 8, 0, 0, 0, 0};
    EXPECT_EQ(bytes_of(b), expected);
    EXPECT_EQ(decode_dic_params(b), p);
}

TEST(AmmoniaParamsRecord, CarriedAsRead) {
    const Bytes in{0x12, 0x34};
    EXPECT_EQ(bytes_of(encode(decode_ammonia_params(in))), in);
}

}  // namespace
}  // namespace kelpira::records
