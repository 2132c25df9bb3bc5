// The photodiode model: absorbances that follow Beer–Lambert and the sensor's own dye equation.
#include "virtual_sensor/chemistry_model.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "virtual_sensor/carbonate_model.hpp"
#include "virtual_sensor/dye_equation.hpp"

namespace kelpira::virtual_sensor {
namespace {

ModelTarget water(double um, double ph) {
    ModelTarget t;
    t.concentration_um = um;
    t.ph = ph;
    return t;
}

ModelConfig nitrate() {
    ModelConfig c;
    c.chemistry = records::ChemistryType::nitrate;
    c.nutrient.blank_measurement_state = 2;
    c.nutrient.standard1_state = 3;
    c.nutrient.sample_measurement_state = 5;
    c.nutrient.standard1_nmol = 20000;
    c.nutrient.measure_medium = 0;
    c.nutrient.measure_short = 1;
    c.nutrient.measure_long = 2;
    c.nutrient.monitor_medium = 6;
    return c;
}

// The mean absorbance of input `input` over 400 samples of `state` after entering it.
double mean_absorbance(const ModelConfig& c, ModelMemory& memory, std::uint8_t state,
                       unsigned input, bool light = true) {
    const ChannelVolts background{};
    double sum = 0;
    for (std::uint32_t k = 0; k < 400; ++k) {
        SampleMoment m;
        m.counter = 1000 * state + k;
        m.state = state;
        m.entered_state = k == 0;
        m.light_on = light;
        const auto v = model_channels(c, water(12.5, 8.0), memory, m, background);
        sum += -std::log10(v[input] / kLitVolts);
    }
    return sum / 400;
}

TEST(ChemistryModel, NutrientAbsorbanceFollowsConcentrationAndPath) {
    const auto c = nitrate();
    ModelMemory memory;
    EXPECT_NEAR(mean_absorbance(c, memory, 2, 0), 0.0, 1e-5);  // blank
    EXPECT_NEAR(mean_absorbance(c, memory, 3, 0), kAbsorbancePerUm[0] * 20.0, 1e-5);
    EXPECT_NEAR(mean_absorbance(c, memory, 5, 0), kAbsorbancePerUm[0] * 12.5, 1e-5);
    // The cell keeps the sample until the next measurement state; the long path sees more.
    EXPECT_NEAR(mean_absorbance(c, memory, 9, 2), kAbsorbancePerUm[2] * 12.5, 1e-5);
    EXPECT_NEAR(mean_absorbance(c, memory, 9, 6), -std::log10(kMonitorVolts / kLitVolts), 1e-5);
    // Without light every input reads dark.
    EXPECT_NEAR(mean_absorbance(c, memory, 9, 1, false), -std::log10(kDarkVolts / kLitVolts), 0.02);
}

// pH values of the m-cresol purple equation worked out by hand from its published constants.
TEST(DyeEquation, GivesThePublishedPhAndItsInverseTheRatio) {
    struct Case {
        double salinity, celsius, ratio, ph;
    };
    for (const auto& c : {Case{35, 25, 1.0, 7.670834190487692}, Case{20, 5, 0.5, 7.646051127083381},
                          Case{35, 25, 1.5, 7.861029154828566}}) {
        ASSERT_TRUE(dye_ph(c.salinity, c.celsius, c.ratio).has_value());
        EXPECT_NEAR(*dye_ph(c.salinity, c.celsius, c.ratio), c.ph, 1e-9);
        EXPECT_NEAR(*dye_ratio(c.salinity, c.celsius, c.ph), c.ratio, 1e-9);
    }
    // At 25 degrees and salinity 35, 1 - 0.0567841153 R vanishes at R = 17.6105588: no pH there,
    // and none below e1 = 0.0057066281 either.
    EXPECT_FALSE(dye_ph(35, 25, 1 / 0.0567841153).has_value());
    EXPECT_FALSE(dye_ph(35, 25, 0.005).has_value());
    // The ratio the sensor measures is calibrated before the equation: R = 1.05 r - 0.01.
    records::PhParams p;
    p.r_scale = 1.05f;
    p.r_offset = -0.01f;
    EXPECT_NEAR(dye_ratio_for(7.670834190487692, 35, 25, p), (1.0 + 0.01f) / 1.05f, 1e-7);
}

TEST(ChemistryModel, PhDyeArrivesAfterTheBlankWindowAtTheSamplesRatio) {
    ModelConfig c;
    c.chemistry = records::ChemistryType::ph;
    c.ph.sample_intake_state = 1;
    c.ph.sample_measurement_state = 2;
    c.ph.blank_end_s = 70;
    c.thermistors[0] = {0, 5, 0, 0, 10.0f, -5.0f};
    c.thermistors[1] = {0, 6, 0, 0, 10.0f, -5.0f};
    ModelMemory memory;
    const ChannelVolts background{};
    SampleMoment m;
    m.state = 1;
    m.entered_state = true;
    m.platform_salinity = 34.0f;
    m.platform_temperature = 11.0f;
    model_channels(c, water(10, 8.0), memory, m, background);

    m.state = 2;
    m.cell_temperature = 16.0;
    m.state_seconds = 300;
    // The sample's pH 8.0 at 11 degrees is 8.0 + 0.01582 x (11 - 16) = 7.9209 at the cell's 16
    // degrees, which the equation gives at salinity 34 for a ratio of 1.32950747.
    const double expected_ratio = 1.32950747;
    double peak434 = 0;
    for (int tenth = 0; tenth < 3000; tenth += 5) {
        m.seconds_in_state = tenth / 10.0;
        m.counter = static_cast<std::uint32_t>(tenth);
        const auto v = model_channels(c, water(10, 8.0), memory, m, background);
        m.entered_state = false;
        EXPECT_NEAR(v[5], 2.1, 1e-9);  // both thermistors read 16 degrees
        const double a434 = -std::log10(v[0] / kLitVolts);
        const double a578 = -std::log10(v[1] / 2.3);
        peak434 = std::max(peak434, a434);
        if (m.seconds_in_state <= 75) {
            EXPECT_NEAR(a434, 0, 0.001) << m.seconds_in_state;
        } else if (a434 > 0.2) {
            EXPECT_NEAR(a578 / a434, expected_ratio, 0.01) << m.seconds_in_state;
        }
    }
    EXPECT_GT(peak434, 1.0);
    // By the end of the state the dye has gone below the fit's lower bound.
    m.seconds_in_state = 299;
    const auto last = model_channels(c, water(10, 8.0), memory, m, background);
    EXPECT_LT(-std::log10(last[0] / kLitVolts), 0.05);
}

TEST(ChemistryModel, NoiseIsRepeatableWithUnitSpread) {
    double sum = 0;
    double squares = 0;
    for (std::uint32_t k = 0; k < 20000; ++k) {
        const double n = model_noise(k, 3);
        sum += n;
        squares += n * n;
    }
    EXPECT_NEAR(sum / 20000, 0, 0.03);
    EXPECT_NEAR(std::sqrt(squares / 20000), 1, 0.03);
    EXPECT_EQ(model_noise(77, 1), model_noise(77, 1));
    EXPECT_NE(model_noise(77, 1), model_noise(77, 2));
}

// With e1 = 0, e2 = 1, e3 = 0 and pKa 7, a ratio of 2 is pH 7.30103, h = 5e-8, and 0.02 M acid
// leaves that h after an alkalinity of (0.02 - 9.819 x 5e-8) / 8.819e-6 = 2267.775150 µmol/kg.
TEST(ChemistryModel, TaRatioIsTheIndicatorsAtTheAcidLeft) {
    records::TaParams p;
    p.titrant_molarity = 0.02f;
    p.pka = 7;
    p.e2 = 1;
    const double ta = (static_cast<double>(0.02f) - 9.819 * 5e-8) / 8.819e-6;
    EXPECT_NEAR(ta, 2267.775150, 1e-4);
    ASSERT_TRUE(ta_absorbance_ratio(ta, 25, p).has_value());
    EXPECT_NEAR(*ta_absorbance_ratio(ta, 25, p), 2.0, 1e-9);
    // At 15 degrees with Ct = 0.01 the measured ratio is 2 / (10 x 0.01 + 1).
    p.temperature_coefficient = 0.01f;
    EXPECT_NEAR(*ta_absorbance_ratio(ta, 15, p), 2.0 / 1.1, 1e-6);
    // 3000 µmol/kg takes 0.026457 M: more than the titrant holds.
    EXPECT_FALSE(ta_absorbance_ratio(3000, 25, p).has_value());
}

}  // namespace
}  // namespace kelpira::virtual_sensor
