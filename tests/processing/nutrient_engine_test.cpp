// The nutrient engine fed rows built here: the worked cases, the phases, drift and optical
// correction, the triggers and the end of a file.
#include "processing/nutrient_engine.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "processing/raw_row_scan.hpp"
#include "temp_raw_file.hpp"

namespace kelpira::processing {
namespace {

using records::ChemistryType;
using records::NutrientParams;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr std::uint8_t kIntake = 1, kBlank = 2, kStd1 = 3, kSample = 4, kStd2 = 5, kOcBlank = 6,
                       kOcSample = 7, kIdle = 9;

NutrientParams standard1_params() {
    NutrientParams p;
    p.output_channel = 0;
    p.sample_intake_state = kIntake;
    p.blank_measurement_state = kBlank;
    p.standard1_state = kStd1;
    p.sample_measurement_state = kSample;
    p.standard2_state = kStd2;
    p.optical_blank_state = kOcBlank;
    p.optical_sample_state = kOcSample;
    p.standard1_nmol = 10000;  // 10 µM
    p.standard_adjustment = 0;
    p.processing_trigger = 2;  // on leaving the sample state
    p.measure_medium = 0;
    p.measure_short = 1;
    p.measure_long = 2;
    return p;
}

RawRow row(std::uint8_t state, std::array<double, 8> channels = {}) {
    RawRow r;
    r.state = state;
    r.channels = channels;
    return r;
}

struct EngineRun {
    std::vector<std::string> log;
    std::vector<NutrientResult> results;
    NutrientEngine engine{[this](const std::string& line) { log.push_back(line); }};

    void feed(ChemistryType type, const NutrientParams& p, const RawRow& r) {
        if (auto out = engine.feed(type, p, r)) {
            results.push_back(*out);
        }
    }
    void feed(ChemistryType type, const NutrientParams& p, std::uint8_t state, double ch0,
              int times = 1) {
        for (int i = 0; i < times; ++i) {
            feed(type, p, row(state, {ch0}));
        }
    }
};

TEST(NutrientEngine, Standard1CycleGivesTheWorkedResult) {
    const auto p = standard1_params();
    EngineRun run;
    RawRow intake = row(kIntake);
    intake.sensor_time = 1000;
    intake.platform_time = 2000;
    intake.salinity = 35.5;
    intake.temperature = 11.25;
    intake.depth = 20.5;
    run.feed(ChemistryType::nitrate, p, intake);
    run.feed(ChemistryType::nitrate, p, kBlank, 1.0, 3);
    run.feed(ChemistryType::nitrate, p, kStd1, 0.5, 3);
    run.feed(ChemistryType::nitrate, p, kSample, 0.8, 3);
    EXPECT_TRUE(run.results.empty());
    run.feed(ChemistryType::nitrate, p, kIdle, 0.0);
    ASSERT_EQ(run.results.size(), 1u);
    const auto& r = run.results[0];
    const double expected = std::log10(1.25) / std::log10(2.0) * 10.0;
    EXPECT_NEAR(r.medium, expected, 1e-5);
    EXPECT_NEAR(r.medium, 3.219, 5e-4);
    EXPECT_NEAR(r.output_value, expected, 1e-12);
    EXPECT_EQ(r.validity, 1);
    EXPECT_EQ(r.short_path, 0.0f);  // input 1 has no light: that channel fails
    EXPECT_EQ(r.sensor_time, 1000u);
    EXPECT_EQ(r.platform_time, 2000u);
    EXPECT_EQ(r.salinity, 35.5f);
    EXPECT_EQ(r.temperature, 11.25f);
    EXPECT_EQ(r.depth, 20.5f);
    EXPECT_THAT(
        run.log,
        ElementsAre("entered sample intake state", "entering a measurement state (2)",
                    "exited blank measurement state (2)", "entering a measurement state (3)",
                    "exited standard1 measurement state (3)", "entering a measurement state (4)",
                    "exited sample measurement state (4)",
                    "nutrient = (0.096910 / 0.301030) * 10.000000",
                    "processed nutrient result (medium) at 2000 = 3.219281",
                    "processed nutrient result (short) at 2000 failed",
                    "processed nutrient result (long) at 2000 failed"));
}

TEST(NutrientEngine, LinearFitWithZeroConcentrationsFails) {
    auto p = standard1_params();
    p.standard_adjustment = 2;
    p.standard1_nmol = 0;
    p.standard2_nmol = 0;
    EngineRun run;
    run.feed(ChemistryType::nitrate, p, kIntake, 0.0);
    run.feed(ChemistryType::nitrate, p, row(kBlank, {1, 1, 1}));
    run.feed(ChemistryType::nitrate, p, row(kStd1, {0.5, 0.5, 0.5}));
    run.feed(ChemistryType::nitrate, p, row(kStd2, {0.25, 0.25, 0.25}));
    run.feed(ChemistryType::nitrate, p, row(kSample, {0.8, 0.8, 0.8}));
    run.feed(ChemistryType::nitrate, p, kIdle, 0.0);
    ASSERT_EQ(run.results.size(), 1u);
    EXPECT_EQ(run.results[0].validity, 2);
    EXPECT_EQ(run.results[0].output_value, 0.0);
    EXPECT_THAT(run.log, Contains("processed nutrient result (medium) at 0 failed"));
    EXPECT_THAT(run.log, Contains("processed nutrient result (short) at 0 failed"));
    EXPECT_THAT(run.log, Contains("processed nutrient result (long) at 0 failed"));
}

TEST(NutrientEngine, LinearFitThroughTheOrigin) {
    auto p = standard1_params();
    p.standard_adjustment = 2;
    p.standard1_nmol = 10000;
    p.standard2_nmol = 20000;
    EngineRun run;
    run.feed(ChemistryType::nitrate, p, kBlank, 1.0);
    run.feed(ChemistryType::nitrate, p, kStd1, 0.5);
    run.feed(ChemistryType::nitrate, p, kStd2, 0.25);
    run.feed(ChemistryType::nitrate, p, kSample, 0.8);
    run.feed(ChemistryType::nitrate, p, kIdle, 0.0);
    ASSERT_EQ(run.results.size(), 1u);
    const double a1 = std::log10(2.0), a2 = std::log10(4.0);
    const double slope = (a1 * 10 + a2 * 20) / (10.0 * 10 + 20.0 * 20);
    EXPECT_DOUBLE_EQ(run.results[0].output_value, std::log10(1.25) / slope);
    EXPECT_THAT(run.log, Contains(HasSubstr("nutrient = (0.096910 - 0.000000) / ")));
}

TEST(NutrientEngine, AveragesCoverExactlyTheRowsOfTheState) {
    const auto p = standard1_params();
    EngineRun run;
    run.feed(ChemistryType::nitrate, p, kIdle, 100.0, 5);
    run.feed(ChemistryType::nitrate, p, kBlank, 1.0);
    run.feed(ChemistryType::nitrate, p, kBlank, 2.0);
    run.feed(ChemistryType::nitrate, p, kIdle, 100.0);
    EXPECT_EQ(run.engine.averages()[0][0], 1.5);
}

TEST(NutrientEngine, AccumulatorStopsAfterAMillionRows) {
    const auto p = standard1_params();
    EngineRun run;
    run.feed(ChemistryType::nitrate, p, kBlank, 1.0, NutrientEngine::kMaxRows);
    run.feed(ChemistryType::nitrate, p, kBlank, 1000.0, 3);
    run.feed(ChemistryType::nitrate, p, kIdle, 0.0);
    EXPECT_EQ(run.engine.averages()[0][0], 1.0);
}

TEST(NutrientEngine, MonitorCorrectsDriftUnlessItsSampleIsZero) {
    auto p = standard1_params();
    p.monitor_medium = 5;
    EngineRun run;
    run.feed(ChemistryType::nitrate, p, row(kBlank, {1.0, 0, 0, 0, 0, 2.0}));
    run.feed(ChemistryType::nitrate, p, row(kStd1, {0.5, 0, 0, 0, 0, 2.0}));
    // The lamp dimmed by 20 % during the sample: the monitor sees it and the sample is scaled.
    run.feed(ChemistryType::nitrate, p, row(kSample, {0.64, 0, 0, 0, 0, 1.6}));
    run.feed(ChemistryType::nitrate, p, kIdle, 0.0);
    ASSERT_EQ(run.results.size(), 1u);
    EXPECT_NEAR(run.results[0].output_value, std::log10(1.25) / std::log10(2.0) * 10.0, 1e-9);

    EngineRun zero;
    zero.feed(ChemistryType::nitrate, p, row(kBlank, {1.0, 0, 0, 0, 0, 2.0}));
    zero.feed(ChemistryType::nitrate, p, row(kStd1, {0.5, 0, 0, 0, 0, 2.0}));
    zero.feed(ChemistryType::nitrate, p, row(kSample, {0.8, 0, 0, 0, 0, 0.0}));
    zero.feed(ChemistryType::nitrate, p, kIdle, 0.0);
    ASSERT_EQ(zero.results.size(), 1u);
    EXPECT_NEAR(zero.results[0].output_value, std::log10(1.25) / std::log10(2.0) * 10.0, 1e-9);
}

TEST(NutrientEngine, OpticalCorrectionIsDilutedByTheChemistry) {
    auto p = standard1_params();
    p.optical_correction = 1;
    p.processing_trigger = 3;  // on leaving the blank
    EngineRun run;
    run.feed(ChemistryType::phosphate, p, kOcBlank, 1.0);
    run.feed(ChemistryType::phosphate, p, kOcSample, 0.5);
    run.feed(ChemistryType::phosphate, p, kStd1, 0.5);
    run.feed(ChemistryType::phosphate, p, kSample, 0.8);
    run.feed(ChemistryType::phosphate, p, kBlank, 1.0);
    run.feed(ChemistryType::phosphate, p, kIdle, 0.0);
    ASSERT_EQ(run.results.size(), 1u);
    const double a = std::log10(1.25) - std::log10(2.0) / 3.0;  // Phosphate dilution 1:3
    EXPECT_NEAR(run.results[0].output_value, a / std::log10(2.0) * 10.0, 1e-9);
    EXPECT_THAT(run.log, Contains("exited optical correction blank measurement state (6)"));
    EXPECT_THAT(run.log, Contains("exited optical correction sample measurement state (7)"));
}

TEST(NutrientEngine, OpticalStatesAreNotPhasesWithCorrectionOff) {
    const auto p = standard1_params();
    EngineRun run;
    run.feed(ChemistryType::nitrate, p, kOcBlank, 1.0);
    run.feed(ChemistryType::nitrate, p, kIdle, 0.0);
    // Entering still clears the sums, but leaving is not examined.
    EXPECT_THAT(run.log, ElementsAre("entering a measurement state (6)"));
    EXPECT_EQ(run.engine.averages()[static_cast<int>(NutrientPhase::optical_blank)][0], 0.0);
}

TEST(NutrientEngine, Standard2OnlyWhenUsedAndStandard1SkippedForStandard2Trigger) {
    auto p = standard1_params();
    p.standard_adjustment = 1;
    p.processing_trigger = 1;
    p.standard2_nmol = 5000;
    EngineRun run;
    run.feed(ChemistryType::nitrate, p, kBlank, 1.0);
    run.feed(ChemistryType::nitrate, p, kSample, 0.8);
    run.feed(ChemistryType::nitrate, p, kStd1, 0.9);
    run.feed(ChemistryType::nitrate, p, kStd2, 0.5);
    run.feed(ChemistryType::nitrate, p, kIdle, 0.0);
    EXPECT_THAT(run.log, ::testing::Not(Contains("exited standard1 measurement state (3)")));
    ASSERT_EQ(run.results.size(), 1u);
    EXPECT_NEAR(run.results[0].output_value, std::log10(1.25) / std::log10(2.0) * 5.0, 1e-9);

    p.standard_adjustment = 0;
    p.processing_trigger = 2;
    EngineRun unused;
    unused.feed(ChemistryType::nitrate, p, kStd2, 0.5);
    unused.feed(ChemistryType::nitrate, p, kIdle, 0.0);
    EXPECT_THAT(unused.log, ::testing::Not(Contains("exited standard2 measurement state (5)")));
}

TEST(NutrientEngine, UnknownStandardAdjustmentFails) {
    auto p = standard1_params();
    p.standard_adjustment = 7;
    EngineRun run;
    run.feed(ChemistryType::nitrate, p, kBlank, 1.0);
    run.feed(ChemistryType::nitrate, p, kSample, 0.8);
    run.feed(ChemistryType::nitrate, p, kIdle, 0.0);
    EXPECT_THAT(run.log, Contains("Unknown nutrient standard ajustment 7"));
    ASSERT_EQ(run.results.size(), 1u);
    EXPECT_EQ(run.results[0].validity, 2);
}

TEST(NutrientEngine, AdaptiveOutputFillsTheChannelsButNotTheOutput) {
    auto p = standard1_params();
    p.output_channel = records::kOutputAdaptive;
    EngineRun run;
    run.feed(ChemistryType::nitrate, p, row(kBlank, {1, 1, 1}));
    run.feed(ChemistryType::nitrate, p, row(kStd1, {0.5, 0.5, 0.5}));
    run.feed(ChemistryType::nitrate, p, row(kSample, {0.8, 0.8, 0.8}));
    run.feed(ChemistryType::nitrate, p, kIdle, 0.0);
    ASSERT_EQ(run.results.size(), 1u);
    const auto& r = run.results[0];
    EXPECT_GT(r.medium, 3.2f);
    EXPECT_EQ(r.medium, r.short_path);
    EXPECT_EQ(r.medium, r.long_path);
    EXPECT_EQ(r.validity, 2);
    EXPECT_EQ(r.output_value, 0.0);
}

TEST(NutrientEngine, ResetStartsAFreshPass) {
    const auto p = standard1_params();
    EngineRun run;
    run.feed(ChemistryType::nitrate, p, kBlank, 1.0);
    run.engine.reset();
    run.log.clear();
    run.feed(ChemistryType::nitrate, p, kIdle, 0.0);  // from 255: leaving 255 examines nothing
    EXPECT_TRUE(run.log.empty());
    EXPECT_EQ(run.engine.averages()[0][0], 0.0);
}

TEST(NutrientEngine, LastBlankOfAFileIsClosedByTheClosingRow) {
    testing::TempRawFile file(
        "%KELPIRA.HEADER_START\n"
        "%KELPIRA.CHEMISTRY.TYPE=1\n"
        "%KELPIRA.HEADER_END\n"
        "%Counter,...\n"
        "1,1,0,0,0,0,0,0,0,0,0,0,0,0,100,35,10,0,5,200\n"
        "2,3,0.5,0,0,0,0,0,0,0,0,0,0,0,101,35,10,0,5,201\n"
        "3,4,0.8,0,0,0,0,0,0,0,0,0,0,0,102,35,10,0,5,202\n"
        "4,2,1.0,0,0,0,0,0,0,0,0,0,0,0,103,35,10,0,5,203\n"
        "5,2,1.0,0,0,0,0,0,0,0,0,0,0,0,104,35,10,0,5,204\n");
    auto f = file.open();
    RawHeader header;
    ASSERT_TRUE(read_header(f, RawChemistry::nutrient, header).found);
    auto p = standard1_params();
    p.processing_trigger = 3;
    EngineRun run;
    EXPECT_EQ(for_each_row(f, RawChemistry::nutrient,
                           [&](const RawRow& r) {
                               run.feed(*header.chemistry, p, r);
                               return true;
                           }),
              RowPass::completed);
    ASSERT_EQ(run.results.size(), 1u);
    EXPECT_EQ(run.results[0].platform_time, 200u);
    EXPECT_NEAR(run.results[0].output_value, 3.219, 5e-4);
}

}  // namespace
}  // namespace kelpira::processing
