// The firmware's nutrient processing, against concentrations worked out by hand.
#include "virtual_sensor/onboard_nutrient.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace kelpira::virtual_sensor {
namespace {

struct Row {
    std::uint8_t state;
    double light;    // volts of the three measurement inputs 0, 1, 2
    double monitor;  // volts of input 6
};

// A cycle intake 0, blank 1, standard 1 in 2, sample 3, left for state 4; the records the
// rows produced.
std::vector<records::OutputRecord> run(const records::NutrientParams& p,
                                       const std::vector<Row>& rows) {
    OnboardNutrient n;
    std::vector<records::OutputRecord> out;
    std::uint32_t time = 1000;
    for (const auto& r : rows) {
        records::LiveSample s;
        s.state = r.state;
        s.sensor_time = time++;
        s.platform_salinity = 35.5f;
        const std::array<double, 8> volts{r.light, r.light, r.light, 0, 0, 0, r.monitor, 0};
        if (auto record = nutrient_sample(n, records::ChemistryType::nitrate, p, s, volts)) {
            out.push_back(*record);
        }
    }
    return out;
}

records::NutrientParams params() {
    records::NutrientParams p;
    p.sample_intake_state = 0;
    p.blank_measurement_state = 1;
    p.standard1_state = 2;
    p.sample_measurement_state = 3;
    p.standard1_nmol = 10000;  // 10 µM
    p.standard_adjustment = 0;
    p.processing_trigger = 2;  // leaving the sample
    p.output_channel = 0;
    p.measure_medium = 0;
    p.measure_short = 1;
    p.measure_long = 2;
    p.monitor_medium = 255;
    p.monitor_short = 6;
    p.monitor_long = 255;
    return p;
}

TEST(OnboardNutrient, SampleAgainstStandardOneWithAndWithoutTheMonitor) {
    // Blank 1.0 V, standard 0.5 V, sample 0.8 V: log10(1.25) / log10(2) x 10 µM = 3.2192809.
    // The short path's monitor reads 2.0 V in the blank and standard and 2.5 V in the sample,
    // so its sample counts as 0.8 x 2.0 / 2.5 = 0.64 V: log10(1 / 0.64) / log10(2) x 10 µM.
    const auto out = run(params(), {{0, 0.1, 2.0},
                                    {1, 1.0, 2.0},
                                    {1, 1.0, 2.0},
                                    {2, 0.5, 2.0},
                                    {3, 0.8, 2.5},
                                    {3, 0.8, 2.5},
                                    {4, 0.0, 0.0}});
    ASSERT_EQ(out.size(), 1u);
    EXPECT_NEAR(out[0].value, 3.2192809488736236, 1e-9);
    EXPECT_EQ(out[0].validity, records::kValidityGood);
    EXPECT_FLOAT_EQ(out[0].p1, 3.2192809f);
    EXPECT_FLOAT_EQ(out[0].p2, 6.4385619f);
    EXPECT_FLOAT_EQ(out[0].p3, 3.2192809f);
    EXPECT_EQ(out[0].sensor_time, 1000u);  // of the intake
    EXPECT_FLOAT_EQ(out[0].platform_salinity, 35.5f);
}

TEST(OnboardNutrient, ACycleWithoutAStandardIsBadAndAnAdaptiveOutputHasNoValue) {
    auto p = params();
    const std::vector<Row> no_standard{{0, 0.1, 2.0}, {1, 1.0, 2.0}, {3, 0.8, 2.0}, {4, 0, 0}};
    const auto bad = run(p, no_standard);
    ASSERT_EQ(bad.size(), 1u);
    EXPECT_EQ(bad[0].validity, records::kValidityBad);
    EXPECT_EQ(bad[0].value, 0.0);

    p.output_channel = 254;  // Adaptive: the paths are computed, none is the output
    const auto adaptive =
        run(p, {{0, 0.1, 2.0}, {1, 1.0, 2.0}, {2, 0.5, 2.0}, {3, 0.8, 2.0}, {4, 0, 0}});
    ASSERT_EQ(adaptive.size(), 1u);
    EXPECT_EQ(adaptive[0].validity, records::kValidityBad);
    EXPECT_FLOAT_EQ(adaptive[0].p1, 3.2192809f);
}

}  // namespace
}  // namespace kelpira::virtual_sensor
