// "Quality Control..." in the processing dialogs: a pass's rows gain their aggregate flag, the
// column is listed and saved, and the chooser's outcomes.
#include "processing/dialogs/quality_control.hpp"

#include <gtest/gtest.h>

#include "support/recording_prompter.hpp"
#include "support/temp_folder.hpp"

namespace kelpira::processing {
namespace {

// TA results of "Bay 1" an hour apart: 2000, 2000, 2100, 2000, 2000 µM.
PassOutcome ta_outcome() {
    PassOutcome out;
    out.source.chemistry = ChemistryChoice::ta;
    out.source.inputs = {{"a.csv", {}, "Bay 1", {}}};
    const double ta[] = {2000, 2000, 2100, 2000, 2000};
    for (std::uint32_t i = 0; i < 5; ++i) {
        TaResult r;
        r.time = 1700000000 + 3600 * i;
        r.ta = ta[i];
        out.rows.push_back({"t", std::to_string(ta[i])});
        out.records.push_back({0, r});
    }
    out.save_allowed = true;
    return out;
}

TEST(QualityControl, PassRowsEndInTheirAggregateFlag) {
    kelpira::testing::RecordingPrompter prompter;
    prompter.answers = {common::Answer::No};  // the shipped parameters
    ProcessingView view;
    view.results.columns = {{"Time (platform)", 15}, {"TA (uM)", 15}};
    choose_quality_control(view, prompter);
    ASSERT_TRUE(view.quality);
    finish_pass(view, ta_outcome(), prompter);
    // Spike 15/30: the 2100 and its neighbours are 50 to 100 off their reference.
    std::vector<std::string> flags;
    for (const auto& row : view.results.rows) {
        flags.push_back(row.back());
    }
    EXPECT_EQ(flags, (std::vector<std::string>{"1", "4", "4", "4", "1"}));
    EXPECT_EQ(shown_columns(view.results).back().title, "QC Flag");
    EXPECT_TRUE(view.results.source.quality);  // a Save as NetCDF writes the flag variables
    EXPECT_EQ(view.log.front(),
              "Results flagged with the quality-control parameters of the parameters Kelpira "
              "ships");

    view.quality.reset();
    begin_pass(view);
    finish_pass(view, ta_outcome(), prompter);
    EXPECT_EQ(view.results.rows[0].size(), 2u);
    EXPECT_EQ(shown_columns(view.results).size(), 2u);
}

TEST(QualityControl, ChooserOutcomesAndColours) {
    kelpira::testing::TempFolder files;
    const std::string bad = files.write("bad.json", R"({"TA": {"spike": {"fail": 1}}})");
    kelpira::testing::RecordingPrompter prompter;
    prompter.answers = {common::Answer::Yes, common::Answer::Cancel};
    prompter.files = {bad};
    ProcessingView view;
    choose_quality_control(view, prompter);
    EXPECT_FALSE(view.quality);
    choose_quality_control(view, prompter);
    EXPECT_FALSE(view.quality);
    const std::string question =
        "Flag the results with a quality-control parameters file of your own?\n"
        "Yes: choose the file. No: the parameters Kelpira ships. Cancel: no quality flags.";
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{question,
                                        "The results are not flagged: " + bad +
                                            ": line 1: TA.spike.suspect_threshold: missing",
                                        question}));
    EXPECT_EQ(view.log,
              (std::vector<std::string>{"Results not flagged: no quality-control parameters",
                                        "Results not flagged: no quality-control parameters"}));

    EXPECT_EQ(quality_flag_colour("3"), 0xFFBF00u);
    EXPECT_EQ(quality_flag_colour("4"), 0xFF0000u);
    EXPECT_EQ(quality_flag_colour("1"), std::nullopt);
    EXPECT_EQ(quality_flag_colour("9"), std::nullopt);
}

}  // namespace
}  // namespace kelpira::processing
