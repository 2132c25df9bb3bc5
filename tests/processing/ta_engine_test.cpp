// The TA engine on rows built to known LED averages.
#include "processing/ta_engine.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "processing/engine_rows.hpp"

namespace {

using kelpira::processing::RawRow;
using kelpira::processing::TaEngine;
using kelpira::processing::TaResult;
using kelpira::processing::TaThermistors;
using kelpira::records::TaParams;
using kelpira::testing::closing_row;
using kelpira::testing::LogRecord;
using kelpira::testing::make_row;
using kelpira::testing::with_channel;

constexpr std::uint8_t kIntake = 1, kBlank1 = 2, kBlank2 = 3, kSample1 = 4, kSample2 = 5;
constexpr std::uint8_t kFlush = 9;

TaParams example_params() {
    TaParams p;
    p.measurement_channel = 3;
    p.sample_intake_state = kIntake;
    p.blank_led1_state = kBlank1;
    p.blank_led2_state = kBlank2;
    p.sample_led1_state = kSample1;
    p.sample_led2_state = kSample2;
    p.processing_trigger = 3;  // Sample (LED2)
    p.temperature_coefficient = 0;
    p.titrant_molarity = 0.002f;
    p.pka = 7;
    p.e1 = 0;
    p.e2 = 1;
    p.e3 = 0;
    return p;
}

TaThermistors warm_thermistors() {
    TaThermistors t{};
    t[0].a0 = 20;
    t[1].a0 = 22;
    return t;
}

RawRow value_row(std::uint8_t state, double v) {
    return with_channel(make_row(state), 3, v);
}

struct Pass {
    LogRecord log;
    std::vector<TaResult> results;
};

Pass run(const TaParams& p, const std::vector<RawRow>& rows) {
    Pass pass;
    TaEngine engine(pass.log.sink());
    engine.reset();
    for (const auto& r : rows) {
        if (auto result = engine.feed(p, r, warm_thermistors())) {
            pass.results.push_back(*result);
        }
    }
    return pass;
}

std::vector<RawRow> example_cycle() {
    return {make_row(kIntake, 1700000000), value_row(kBlank1, 1),     value_row(kBlank1, 1),
            value_row(kBlank2, 1),         value_row(kSample1, 0.1),  value_row(kSample1, 0.1),
            value_row(kSample2, 0.01),     value_row(kSample2, 0.01), closing_row()};
}

TEST(TaEngine, WorkedExample) {
    const Pass pass = run(example_params(), example_cycle());
    ASSERT_EQ(pass.results.size(), 1u);
    const TaResult& r = pass.results[0];
    EXPECT_EQ(r.time, 1700000000u);
    EXPECT_EQ(r.validity, 1);
    EXPECT_FLOAT_EQ(r.absorbance1, 1);
    EXPECT_FLOAT_EQ(r.absorbance2, 2);
    EXPECT_FLOAT_EQ(r.temperature, 21);
    // R = 2, pH = 7 + log10(2), h = 1e-7 / 2.
    const double molarity = example_params().titrant_molarity;
    EXPECT_NEAR(r.ta, (molarity - 9.819 * 5e-8) / 8.819 * 1000000, 1e-9);
    EXPECT_NEAR(r.ta, 226.7274, 1e-3);
    EXPECT_TRUE(pass.log.contains("meas b1=1.000000,b2=1.000000,s1=0.100000,s2=0.010000"));
    EXPECT_TRUE(pass.log.contains("t1=20.000000,t2=22.000000"));
    EXPECT_TRUE(pass.log.contains("exited sample (led2) measurement state (5)"));
}

TEST(TaEngine, TemperatureCoefficientCorrectsTheRatio) {
    TaParams p = example_params();
    p.temperature_coefficient = 0.01f;  // t = 21: R = (4 x 0.01 + 1) x 2 = 2.08
    const Pass pass = run(p, example_cycle());
    ASSERT_EQ(pass.results.size(), 1u);
    const double r = (4 * static_cast<double>(0.01f) + 1) * 2;
    const double h = std::pow(10.0, -(7 + std::log10(r)));
    EXPECT_NEAR(pass.results[0].ta, (p.titrant_molarity - 9.819 * h) / 8.819 * 1000000, 1e-6);
}

TEST(TaEngine, TriggerStateLeftTwiceGivesTwoResults) {
    std::vector<RawRow> rows = example_cycle();
    rows.pop_back();
    rows.push_back(value_row(kFlush, 7));
    rows.push_back(value_row(kSample2, 0.001));  // A2 = 3
    rows.push_back(closing_row());
    const Pass pass = run(example_params(), rows);
    ASSERT_EQ(pass.results.size(), 2u);
    EXPECT_FLOAT_EQ(pass.results[0].absorbance2, 2);
    EXPECT_FLOAT_EQ(pass.results[1].absorbance2, 3);
    EXPECT_EQ(pass.results[1].time, 1700000000u);
}

TEST(TaEngine, RowsOutsideMeasurementStatesAreClearedOnEnteringTheNext) {
    std::vector<RawRow> rows = example_cycle();
    // Flushing rows of a wild value between blank LED2 and sample LED1.
    rows.insert(rows.begin() + 4, {value_row(kFlush, 500), value_row(kFlush, 500)});
    const Pass pass = run(example_params(), rows);
    ASSERT_EQ(pass.results.size(), 1u);
    EXPECT_FLOAT_EQ(pass.results[0].absorbance1, 1);
    EXPECT_TRUE(pass.log.contains("entering a measurement state (4)"));
}

TEST(TaEngine, ZeroIntensitiesAreReportedNotRefused) {
    std::vector<RawRow> rows = example_cycle();
    rows[6] = value_row(kSample2, 0);
    rows[7] = value_row(kSample2, 0);
    const Pass pass = run(example_params(), rows);
    ASSERT_EQ(pass.results.size(), 1u);
    EXPECT_TRUE(std::isinf(pass.results[0].absorbance2));
    EXPECT_EQ(pass.results[0].validity, 1);
}

// A thermistor reading beyond a float's range stores an infinite temperature (UBSan's
// float-cast-overflow check catches a direct cast).
TEST(TaEngine, ATemperatureBeyondAFloatIsInfinite) {
    TaThermistors hot = warm_thermistors();
    hot[0].a1 = 1e30f;
    hot[1].a1 = 1e30f;
    TaEngine engine(kelpira::processing::LogSink{});
    engine.reset();
    std::vector<TaResult> results;
    for (const auto& row : example_cycle()) {
        if (auto r = engine.feed(example_params(), with_channel(row, 0, 1e10), hot)) {
            results.push_back(*r);
        }
    }
    ASSERT_EQ(results.size(), 1u);
    EXPECT_TRUE(std::isinf(results[0].temperature));
    EXPECT_GT(results[0].temperature, 0);
}

TEST(TaEngine, StatesLeftAtTheEndOfAFileAreClosedByTheClosingRow) {
    TaParams p = example_params();
    p.processing_trigger = 2;  // Sample (LED1), the last state of this file
    const std::vector<RawRow> cycle = example_cycle();
    std::vector<RawRow> rows(cycle.begin(), cycle.begin() + 6);
    rows.push_back(closing_row());
    const Pass pass = run(p, rows);
    ASSERT_EQ(pass.results.size(), 1u);
    EXPECT_TRUE(pass.log.contains("exited sample (led1) measurement state (4)"));
}

}  // namespace
