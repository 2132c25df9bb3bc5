// The DIC engine on rows built to known conductivity steps.
#include "processing/dic_engine.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "processing/engine_rows.hpp"

namespace {

using kelpira::processing::DicEngine;
using kelpira::processing::DicResult;
using kelpira::processing::RawRow;
using kelpira::records::DicParams;
using kelpira::testing::closing_row;
using kelpira::testing::LogRecord;
using kelpira::testing::make_row;
using kelpira::testing::with_channel;

constexpr std::uint8_t kCrmMeasure = 3, kIntake = 4, kSampleMeasure = 5;
constexpr std::uint8_t kIntake2 = 6, kSampleMeasure2 = 7, kFlush = 9;

// Inlet 1 CRM of 2000 µmol/kg, inlet 2 sample, inlet 3 a second sample.
DicParams inlet_params() {
    DicParams p;
    p.inlet[0].type = 2;
    p.inlet[0].measurement_state = kCrmMeasure;
    p.inlet[0].crm_umol_kg = 2000;
    p.inlet[1].type = 1;
    p.inlet[1].intake_state = kIntake;
    p.inlet[1].measurement_state = kSampleMeasure;
    p.inlet[2].type = 1;
    p.inlet[2].intake_state = kIntake2;
    p.inlet[2].measurement_state = kSampleMeasure2;
    return p;
}

RawRow signal(std::uint8_t state, double v) {
    return with_channel(make_row(state), 0, v);
}

// A measurement whose lowest value comes first and whose last 30 values sit `step` above it.
void add_step(std::vector<RawRow>& rows, std::uint8_t state, double base, double step) {
    rows.push_back(signal(state, base));
    for (int i = 0; i < 30; ++i) {
        rows.push_back(signal(state, base + step));
    }
}

struct Pass {
    LogRecord log;
    std::vector<DicResult> results;
};

Pass run(const DicParams& p, const std::vector<RawRow>& rows,
         const kelpira::records::ThermistorConfig& thermistor = {}) {
    Pass pass;
    DicEngine engine(pass.log.sink());
    engine.reset();
    for (const auto& r : rows) {
        if (auto result = engine.feed(p, r, thermistor)) {
            pass.results.push_back(*result);
        }
    }
    return pass;
}

TEST(DicEngine, SampleStepOverCrmStepTimesCrmValue) {
    std::vector<RawRow> rows{signal(kFlush, 0)};
    add_step(rows, kCrmMeasure, 1.0, 0.5);
    rows.push_back(make_row(kIntake, 1700000000));
    add_step(rows, kSampleMeasure, 2.0, 0.4);
    rows.push_back(closing_row());
    kelpira::records::ThermistorConfig thermistor;
    thermistor.input_channel = 2;
    thermistor.a0 = 18.5f;
    const Pass pass = run(inlet_params(), rows, thermistor);
    ASSERT_EQ(pass.results.size(), 1u);
    const DicResult& r = pass.results[0];
    EXPECT_NEAR(r.dic, 1600, 1e-9);
    EXPECT_EQ(r.state, kSampleMeasure);
    EXPECT_EQ(r.time, 1700000000u);
    EXPECT_EQ(r.validity, 1);
    EXPECT_FLOAT_EQ(r.sample_step, 0.4f);
    EXPECT_FLOAT_EQ(r.crm_step, 0.5f);
    EXPECT_FLOAT_EQ(r.temperature, 18.5f);
    EXPECT_TRUE(pass.log.contains("exited inlet 0 measurement state (3)"));
    EXPECT_TRUE(pass.log.contains("entered inlet 1 sample intake state (4)"));
    EXPECT_TRUE(pass.log.contains("entering inlet 1 sample measurement state (5)"));
    EXPECT_TRUE(pass.log.contains("processed DIC result at 1700000000 = 1600.000000"));
}

TEST(DicEngine, FortyFiveRowsAverageTheLastThirtyAboveTheMinimumOfAll) {
    std::vector<RawRow> rows;
    add_step(rows, kCrmMeasure, 1.0, 0.5);
    rows.push_back(make_row(kIntake));
    for (int j = 0; j < 45; ++j) {
        rows.push_back(signal(kSampleMeasure, j == 5 ? 0.2 : 1 + 0.01 * j));
    }
    rows.push_back(closing_row());
    const Pass pass = run(inlet_params(), rows);
    ASSERT_EQ(pass.results.size(), 1u);
    // Rows 15..44 average 1.295; the minimum 0.2 lies among the rows no longer averaged.
    EXPECT_NEAR(pass.results[0].sample_step, 1.095, 1e-6);
    EXPECT_NEAR(pass.results[0].dic, 1.095 / 0.5 * 2000, 1e-6);
}

TEST(DicEngine, SampleBeforeAnyCrmIsBad) {
    std::vector<RawRow> rows{make_row(kIntake, 1234)};
    add_step(rows, kSampleMeasure, 2.0, 0.4);
    rows.push_back(closing_row());
    const Pass pass = run(inlet_params(), rows);
    ASSERT_EQ(pass.results.size(), 1u);
    EXPECT_EQ(pass.results[0].validity, 2);
    EXPECT_EQ(pass.results[0].state, 0);
    EXPECT_EQ(pass.results[0].dic, 0);
    EXPECT_TRUE(pass.log.contains("processed DIC result at 1234 failed"));
}

TEST(DicEngine, ZeroCrmStepIsBad) {
    std::vector<RawRow> rows;
    add_step(rows, kCrmMeasure, 1.0, 0.0);
    rows.push_back(make_row(kIntake));
    add_step(rows, kSampleMeasure, 2.0, 0.4);
    rows.push_back(closing_row());
    const Pass pass = run(inlet_params(), rows);
    ASSERT_EQ(pass.results.size(), 1u);
    EXPECT_EQ(pass.results[0].validity, 2);
}

TEST(DicEngine, TwoSampleInletsShareOneCrmReference) {
    std::vector<RawRow> rows;
    add_step(rows, kCrmMeasure, 1.0, 0.5);
    rows.push_back(make_row(kIntake, 10));
    add_step(rows, kSampleMeasure, 2.0, 0.4);
    rows.push_back(make_row(kIntake2, 20));
    add_step(rows, kSampleMeasure2, 2.0, 0.6);
    rows.push_back(closing_row());
    const Pass pass = run(inlet_params(), rows);
    ASSERT_EQ(pass.results.size(), 2u);
    EXPECT_NEAR(pass.results[0].dic, 1600, 1e-9);
    EXPECT_NEAR(pass.results[1].dic, 2400, 1e-9);
    EXPECT_EQ(pass.results[1].state, kSampleMeasure2);
    EXPECT_EQ(pass.results[1].time, 20u);
}

TEST(DicEngine, UnusedInletsAreIgnored) {
    DicParams p = inlet_params();
    p.inlet[0].type = 0;  // the CRM inlet switched off
    std::vector<RawRow> rows;
    add_step(rows, kCrmMeasure, 1.0, 0.5);
    rows.push_back(make_row(kIntake));
    add_step(rows, kSampleMeasure, 2.0, 0.4);
    rows.push_back(closing_row());
    const Pass pass = run(p, rows);
    ASSERT_EQ(pass.results.size(), 1u);
    EXPECT_EQ(pass.results[0].validity, 2);
    EXPECT_FALSE(pass.log.contains("exited inlet 0 measurement state (3)"));
}

}  // namespace
