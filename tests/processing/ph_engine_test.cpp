// The pH engine on rows built to known absorbance curves.
#include "processing/ph_engine.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

#include "processing/engine_rows.hpp"

namespace {

using kelpira::processing::PhEngine;
using kelpira::processing::PhResult;
using kelpira::processing::PhThermistors;
using kelpira::processing::RawRow;
using kelpira::records::PhParams;
using kelpira::testing::closing_row;
using kelpira::testing::LogRecord;
using kelpira::testing::make_row;

constexpr std::uint8_t kIntake = 1;
constexpr std::uint8_t kMeasure = 2;
constexpr double kBlank434 = 1000;
constexpr double kBlank578 = 2000;

PhParams test_params() {
    PhParams p;
    p.input_434 = 3;
    p.input_578 = 5;
    p.sample_intake_state = kIntake;
    p.sample_measurement_state = kMeasure;
    p.blank_start_s = 50;
    p.blank_end_s = 70;
    p.absorbance_min_434 = 0.1f;
    p.absorbance_max_578 = 5.0f;  // above every point: the start stays at the peak
    p.dph_dt = 0;
    p.r_scale = 1;
    p.r_offset = 0;
    p.t1_scale = 0.5f;
    p.t2_scale = 0.5f;
    return p;
}

RawRow intensity_row(double i434, double i578) {
    RawRow r = make_row(kMeasure);
    r.channels[3] = i434;
    r.channels[5] = i578;
    return r;
}

// A dye point of the curve A578 = 2 A434 + 0.1 A434^2.
RawRow dye_row(double a434) {
    const double a578 = 2 * a434 + 0.1 * a434 * a434;
    return intensity_row(kBlank434 * std::pow(10, -a434), kBlank578 * std::pow(10, -a578));
}

struct Pass {
    LogRecord log;
    std::vector<PhResult> results;
};

// Intake (platform S 35, T 20, O 6.5, time 1700000000), 701 blank-phase rows whose window
// 500..700 averages to the blank intensities, then the dye points of `a434s`, then the closing
// row.
Pass run_cycle(const PhParams& params, const std::vector<double>& a434s,
               std::uint32_t interval = 100, const PhThermistors& thermistors = {}) {
    Pass pass;
    PhEngine engine(pass.log.sink());
    engine.reset();
    std::vector<RawRow> rows;
    RawRow intake = make_row(kIntake, 1700000000);
    intake.salinity = 35;
    intake.temperature = 20;
    intake.oxygen = 6.5;
    rows.push_back(intake);
    for (std::uint32_t i = 0; i <= 700; ++i) {
        // Rows 499 and 701 would pull the blank far off if the window took them.
        rows.push_back(i >= 500 ? intensity_row(kBlank434, kBlank578) : intensity_row(9e9, 9e9));
    }
    for (double a : a434s) {
        rows.push_back(dye_row(a));
    }
    rows.push_back(closing_row());
    for (const auto& r : rows) {
        if (auto result = engine.feed(params, r, interval, thermistors)) {
            pass.results.push_back(*result);
        }
    }
    return pass;
}

// A curve whose snapshot holds exactly `n` points: A434 falls to 0.1 at the n-th point and
// beyond it, so later points are summed but never marked.
std::vector<double> curve_with_snapshot(int n) {
    std::vector<double> a;
    for (int j = 0; j < n; ++j) {
        a.push_back(0.1 + 0.05 * (n - 1 - j));
    }
    for (int j = 1; j <= 5; ++j) {
        a.push_back(0.1 - 0.015 * j);
    }
    return a;
}

TEST(PhEngine, BlankWindowCoversIndices500To700AtA100MsInterval) {
    const Pass pass = run_cycle(test_params(), curve_with_snapshot(11));
    EXPECT_TRUE(pass.log.contains("blank_start_index=500, blank_end_index=700"));
    EXPECT_TRUE(pass.log.contains("abs434ref=1000.000000, abs578ref=2000.000000"));
    // The first dye point is row 701, the peak of the curve.
    EXPECT_TRUE(pass.log.contains("abs578max(i,x,y,t) = (701,0.600000,1.236000,0.000000)"));
}

TEST(PhEngine, ElevenSnapshotPointsAreEnoughAndTenAreNot) {
    const Pass eleven = run_cycle(test_params(), curve_with_snapshot(11));
    EXPECT_TRUE(eleven.log.contains("num samples = 11"));
    ASSERT_EQ(eleven.results.size(), 1u);
    EXPECT_NEAR(eleven.results[0].r, 2.0, 1e-9);

    const Pass ten = run_cycle(test_params(), curve_with_snapshot(10));
    EXPECT_TRUE(ten.log.contains("num samples = 10"));
    EXPECT_TRUE(ten.log.contains("Too few samples for regression (10<=10)"));
    EXPECT_TRUE(ten.results.empty());
}

TEST(PhEngine, CurveThatNeverNearsTheMinimumHasAOnePointSnapshot) {
    // Starts at A434 = 0.1 exactly; every later point is further away.
    const Pass pass = run_cycle(
        test_params(), {0.1, 0.09, 0.08, 0.07, 0.06, 0.05, 0.04, 0.03, 0.02, 0.01, 0.005, 0.004});
    EXPECT_TRUE(pass.log.contains("num samples = 1"));
    EXPECT_TRUE(pass.log.contains("Too few samples for regression (1<=10)"));
    EXPECT_TRUE(pass.results.empty());
}

TEST(PhEngine, ResultCarriesTheIntakeRowAndTheEquationAtTheThermistorTemperature) {
    const Pass pass = run_cycle(test_params(), curve_with_snapshot(12));
    ASSERT_EQ(pass.results.size(), 1u);
    const PhResult& r = pass.results[0];
    EXPECT_EQ(r.time, 1700000000u);
    EXPECT_EQ(r.valid, 1u);
    EXPECT_FLOAT_EQ(r.salinity, 35);
    EXPECT_FLOAT_EQ(r.temperature, 20);
    EXPECT_FLOAT_EQ(r.oxygen, 6.5);
    // No thermistor calibration: every row is at 0 degrees C.
    EXPECT_DOUBLE_EQ(r.thermistor_temperature, 0);
    EXPECT_NEAR(r.r_adjusted, 2.0, 1e-9);
    const auto expected = kelpira::processing::ph_equation(35, test_params(), r.r, 0);
    ASSERT_TRUE(expected.has_value());
    EXPECT_DOUBLE_EQ(r.ph, *expected);  // dpH/dT 0: no temperature correction
}

TEST(PhEngine, TemperatureCorrectionAndThermistorScales) {
    PhParams p = test_params();
    p.dph_dt = -0.01582f;
    PhThermistors thermistors{};
    thermistors[0].input_channel = 6;
    thermistors[0].a0 = 10;  // 10 degrees C whatever the input
    thermistors[1].input_channel = 7;
    thermistors[1].a1 = 1;  // degrees C = the input value, 0 in these rows
    p.t1_scale = 0.8f;
    p.t2_scale = 0.2f;
    const Pass pass = run_cycle(p, curve_with_snapshot(12), 100, thermistors);
    ASSERT_EQ(pass.results.size(), 1u);
    const PhResult& r = pass.results[0];
    EXPECT_NEAR(r.thermistor_temperature, 8.0, 1e-5);
    const auto at_thermistor =
        kelpira::processing::ph_equation(35, p, r.r, r.thermistor_temperature);
    ASSERT_TRUE(at_thermistor.has_value());
    EXPECT_NEAR(r.ph, *at_thermistor + p.dph_dt * (20 - r.thermistor_temperature), 1e-12);
}

TEST(PhEngine, EquationMatchesAReferenceValueAndRejectsItsDomainEdges) {
    PhParams p = test_params();
    const auto ph = kelpira::processing::ph_equation(35, p, 1.2, 25);
    ASSERT_TRUE(ph.has_value());
    EXPECT_NEAR(*ph, 7.75569154153217, 1e-9);
    // R equal to e1 gives a ratio of 0: no logarithm.
    const double e1 = 298.15 * 4.5174e-5 - 0.007762;
    EXPECT_FALSE(kelpira::processing::ph_equation(35, p, e1, 25).has_value());
    // The adjustment applies before the equation.
    p.r_scale = 2;
    p.r_offset = 0.2f;
    EXPECT_NEAR(*kelpira::processing::ph_equation(35, p, 0.5, 25), 7.75569154153217, 1e-6);
}

TEST(PhEngine, CycleRunningToTheEndOfTheFileIsClosedByTheClosingRow) {
    const Pass pass = run_cycle(test_params(), curve_with_snapshot(12));
    ASSERT_EQ(pass.results.size(), 1u);
    EXPECT_TRUE(pass.log.contains("exiting sample measurement state (2)"));
}

TEST(PhEngine, ZeroSampleIntervalIsRefused) {
    const auto problem = kelpira::processing::ph_interval_problem(0);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(*problem,
              "A sample interval of 0 ms cannot be processed: the sample interval must be at "
              "least 1 ms.");
    EXPECT_FALSE(kelpira::processing::ph_interval_problem(1).has_value());
    const Pass pass = run_cycle(test_params(), curve_with_snapshot(12), 0);
    EXPECT_TRUE(pass.results.empty());
    EXPECT_TRUE(pass.log.lines.empty());
}

TEST(PhEngine, RowsWithoutLightAreNotDyePoints) {
    Pass pass;
    PhEngine engine(pass.log.sink());
    engine.reset();
    const PhParams p = test_params();
    engine.feed(p, make_row(kIntake), 100, {});
    for (std::uint32_t i = 0; i <= 700; ++i) {
        engine.feed(p, intensity_row(kBlank434, kBlank578), 100, {});
    }
    engine.feed(p, intensity_row(0, kBlank578), 100, {});
    engine.feed(p, intensity_row(kBlank434, -1), 100, {});
    engine.feed(p, closing_row(), 100, {});
    EXPECT_TRUE(pass.log.contains("num samples = 0"));
}

}  // namespace
