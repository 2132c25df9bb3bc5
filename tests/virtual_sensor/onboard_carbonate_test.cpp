// The firmware's TA and DIC processing, against results worked out by hand.
#include "virtual_sensor/onboard_carbonate.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace kelpira::virtual_sensor {
namespace {

records::LiveSample in_state(std::uint8_t state, std::uint32_t time = 0) {
    records::LiveSample s;
    s.state = state;
    s.sensor_time = time;
    return s;
}

// Ct 0, e1 0, e2 1, e3 0, pKa 7; blanks 1 V, samples 0.1 and 0.01 V: A1 = 1, A2 = 2, R = 2,
// pH = 7 + log10(2), h = 5e-8, TA = (0.002 - 9.819 x 5e-8) / 8.819e-6 = 226.7274 µmol/kg.
TEST(OnboardCarbonate, TaFromTheFourMeasurementStates) {
    records::TaParams p;
    p.measurement_channel = 1;
    p.sample_intake_state = 1;
    p.blank_led1_state = 2;
    p.blank_led2_state = 3;
    p.sample_led1_state = 4;
    p.sample_led2_state = 5;
    p.processing_trigger = 3;
    p.titrant_molarity = 0.002f;
    p.pka = 7;
    p.e2 = 1;
    const std::array<records::ThermistorConfig, 2> thermistors{};
    OnboardTa ta;
    std::vector<records::OutputRecord> out;
    for (const auto& [state, volts] : std::vector<std::pair<std::uint8_t, double>>{
             {1, 0}, {2, 1.0}, {2, 1.0}, {3, 1.0}, {4, 0.1}, {5, 0.01}, {5, 0.01}, {6, 0}}) {
        if (auto r = ta_sample(ta, p, thermistors, in_state(state, 77), {0, volts})) {
            out.push_back(*r);
        }
    }
    ASSERT_EQ(out.size(), 1u);
    EXPECT_NEAR(out[0].value, 226.7274, 1e-3);
    EXPECT_EQ(out[0].sensor_time, 77u);
    EXPECT_FLOAT_EQ(out[0].p1, 1.0f);
    EXPECT_FLOAT_EQ(out[0].p2, 2.0f);
    EXPECT_EQ(out[0].validity, records::kValidityGood);
}

// Reference inlet (2000 µmol/kg) measured in state 3 with a step of 0.5 V, then the sample
// inlet (intake 4, measured in 5) with 0.4 V: 1600 µmol/kg; a sample before any reference is
// bad. The step is the mean of the last 30 values less the lowest of all.
TEST(OnboardCarbonate, DicScalesTheSampleStepByTheReferences) {
    records::DicParams p;
    p.inlet[0] = {2, 0, 3, 2000.0f};
    p.inlet[1] = {1, 4, 5, 0.0f};
    OnboardDic dic;
    std::vector<records::OutputRecord> out;
    auto feed = [&](std::uint8_t state, double v) {
        if (auto r = dic_sample(dic, p, {}, in_state(state), {v})) {
            out.push_back(*r);
        }
    };
    auto measure = [&](std::uint8_t state, double low, double high) {
        feed(state, low);
        for (int i = 0; i < 45; ++i) {
            feed(state, i < 15 ? low + 0.01 : high);  // 45 values: only the last 30 count
        }
    };
    feed(4, 0);
    measure(5, 2.0, 2.4);
    measure(3, 1.0, 1.5);
    feed(4, 0);
    measure(5, 2.0, 2.4);
    feed(6, 0);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].validity, records::kValidityBad);
    EXPECT_EQ(out[1].validity, records::kValidityGood);
    EXPECT_NEAR(out[1].value, 1600.0, 1e-9);
    EXPECT_EQ(out[1].dive_number, 5);
    EXPECT_FLOAT_EQ(out[1].p1, 0.4f);
    EXPECT_FLOAT_EQ(out[1].p2, 0.5f);
}

}  // namespace
}  // namespace kelpira::virtual_sensor
