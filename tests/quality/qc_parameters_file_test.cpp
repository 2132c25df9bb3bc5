// The parameters file: every member read, absent members at their defaults, the shipped
// file valid, and each configuration error naming its key and line.
#include "quality/qc_parameters_file.hpp"

#include <gtest/gtest.h>

namespace kelpira::quality {
namespace {

TEST(QcParametersFile, EveryMemberAndTheDefaults) {
    std::string error;
    const auto file = read_qc_parameters(R"({
      "nitrate": {"max_gap_s": 10800,
        "gross_range": {"sensor_span": [-0.5, 60], "user_span": [0, 40]},
        "spike": {"suspect_threshold": 1.0, "fail_threshold": 2.0},
        "rate_of_change": {"n_dev": 2, "tim_dev_s": 3600, "floor": 0.5, "min_count": 4},
        "flat_line": {"suspect_run": 4, "fail_run": 6, "eps": 0.005, "skip_at_or_below": 0.1}},
      "nitrate/Long": {"gross_range": {"sensor_span": [0, 1]}, "rate_of_change": {},
                       "flat_line": {}},
      "pH": {}})",
                                         error);
    ASSERT_TRUE(file) << error;
    const auto* n = series_parameters(*file, "nitrate", "Medium");
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->max_gap_s, 10800);
    EXPECT_EQ(n->gross_range->sensor_span.min, -0.5);
    EXPECT_EQ(n->gross_range->user_span->max, 40);
    EXPECT_EQ(n->spike->fail_threshold, 2.0);
    EXPECT_EQ(n->rate_of_change->n_dev, 2);
    EXPECT_EQ(n->rate_of_change->tim_dev_s, 3600);
    EXPECT_EQ(n->rate_of_change->floor, 0.5);
    EXPECT_EQ(n->rate_of_change->min_count, 4);
    EXPECT_EQ(n->flat_line->suspect_run, 4);
    EXPECT_EQ(n->flat_line->fail_run, 6);
    EXPECT_EQ(n->flat_line->eps, 0.005);
    EXPECT_EQ(n->flat_line->skip_at_or_below, 0.1);

    const auto* l = series_parameters(*file, "nitrate", "Long");
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->max_gap_s, std::nullopt);  // no limit
    EXPECT_EQ(l->gross_range->user_span.has_value(), false);
    EXPECT_EQ(l->spike.has_value(), false);  // not run
    EXPECT_EQ(l->rate_of_change->n_dev, 3);
    EXPECT_EQ(l->rate_of_change->tim_dev_s, 90000);
    EXPECT_EQ(l->rate_of_change->floor, 0);
    EXPECT_EQ(l->rate_of_change->min_count, 3);
    EXPECT_EQ(l->flat_line->suspect_run, 3);
    EXPECT_EQ(l->flat_line->fail_run, 5);
    EXPECT_EQ(l->flat_line->eps, 0);
    EXPECT_EQ(l->flat_line->skip_at_or_below, std::nullopt);

    EXPECT_NE(series_parameters(*file, "pH"), nullptr);
    EXPECT_EQ(series_parameters(*file, "TA"), nullptr);
}

TEST(QcParametersFile, OneSeriesObjectServesEveryKind) {
    std::string error;
    const auto file = read_qc_parameters(R"({"max_gap_s": 10800,
        "spike": {"suspect_threshold": 1.0, "fail_threshold": 2.0}})",
                                         error);
    ASSERT_TRUE(file) << error;
    const auto* p = series_parameters(*file, "silicate", "Short");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->max_gap_s, 10800);
    EXPECT_EQ(p->spike->suspect_threshold, 1.0);
    EXPECT_FALSE(read_qc_parameters(R"({"spike": {"suspect_threshold": 1,
        "fail_threshold": 0.5}})",
                                    error));
    EXPECT_EQ(error, "line 1: spike.suspect_threshold: is above fail_threshold (1 > 0.5)");
}

TEST(QcParametersFile, ShippedDefaultsCoverEveryKind) {
    std::string error;
    const auto file = read_qc_parameters(default_qc_parameters_text(), error);
    ASSERT_TRUE(file) << error;
    for (const auto kind : kSeriesKinds) {
        const auto* p = series_parameters(*file, kind);
        ASSERT_NE(p, nullptr) << kind;
        EXPECT_TRUE(p->gross_range) << kind;
    }
}

TEST(QcParametersFile, ConfigurationErrorsNameTheKey) {
    const std::pair<const char*, const char*> cases[] = {
        {R"({"nitrate": {"spike": {"suspect_threshold": 3,
 "fail_threshold": 2}}})",
         "line 1: nitrate.spike.suspect_threshold: is above fail_threshold (3 > 2)"},
        {R"({"pH": {"gross_range": {"sensor_span": [9, 6.5]}}})",
         "line 1: pH.gross_range.sensor_span: min is above max"},
        {R"({"pH": {"gross_range": {"sensor_span": [6, 9], "user_span": [5, 8]}}})",
         "line 1: pH.gross_range.user_span: must lie inside sensor_span"},
        {R"({"pH": {"gross_range": {"user_span": [7, 8]}}})",
         "line 1: pH.gross_range.sensor_span: missing"},
        {"{\"TA\": {\n\"flat_line\": {\"suspect_run\": 5, \"fail_run\": 3}}}",
         "line 2: TA.flat_line.fail_run: is below suspect_run (3 < 5)"},
        {R"({"TA": {"flat_line": {"suspect_run": 2.5}}})",
         "line 1: TA.flat_line.suspect_run: expected a whole number from 2 to 1000000"},
        {R"({"TA": {"rate_of_change": {"min_count": 1}}})",
         "line 1: TA.rate_of_change.min_count: expected a whole number from 2 to 1000000"},
        {R"({"TA": {"rate_of_change": {"n_dev": "3"}}})",
         "line 1: TA.rate_of_change.n_dev: expected a number"},
        {R"({"TA": {"rate_of_change": {"floor": -0.1}}})",
         "line 1: TA.rate_of_change.floor: must not be negative"},
        {R"({"TA": {"rate_of_change": {"window": 3}}})",
         "line 1: TA.rate_of_change.window: unknown key"},
        {R"({"TA": {"max_gap_s": 0}})", "line 1: TA.max_gap_s: must be above 0"},
        {R"({"TA": {"max_gap_s": 1e999}})", "invalid JSON: number overflow parsing '1e999'"},
        {R"({"DIC": {"spike": {"fail_threshold": 2}}})",
         "line 1: DIC.spike.suspect_threshold: missing"},
        {R"({"DIC": {"spike": []}})", "line 1: DIC.spike: expected an object"},
        {R"({"nitrate": {}, "nitrate": {}})", "line 1: nitrate: given more than once"},
        {R"({"pH/Long": {}})",
         "line 1: pH/Long: unknown series kind (nitrate, nitrite, phosphate, silicate, "
         "ammonia, iron, pH, TA, DIC, or a nutrient and /Medium, /Short or /Long)"},
        {R"([])", "line 1: expected an object of series kinds"},
    };
    for (const auto& [text, expected] : cases) {
        std::string error;
        EXPECT_FALSE(read_qc_parameters(text, error)) << text;
        EXPECT_EQ(error, expected);
    }
}

}  // namespace
}  // namespace kelpira::quality
