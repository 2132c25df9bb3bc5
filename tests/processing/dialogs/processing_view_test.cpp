// What every processing dialog shares: reading fields, lists without a selection, the capped
// result list, finishing and cancelling a pass, and the save's failure and empty cases.
#include "common/number_text.hpp"
#include "processing/dialogs/processing_controller.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "processing/dialogs/chemistry_passes.hpp"
#include "processing/dialogs/raw_text.hpp"
#include "records/input_channels.hpp"
#include "support/recording_prompter.hpp"
#include "support/temp_folder.hpp"

namespace kelpira::processing {
namespace {

using testing::RecordingPrompter;
using testing::TempFolder;

TEST(FormFields, OneUnsignedReadingThatSaturates) {
    EXPECT_EQ(common::parse_unsigned(" 12 "), 12u);
    EXPECT_EQ(common::parse_unsigned("4294967295"), 4294967295u);
    EXPECT_EQ(common::parse_unsigned("4294967296"), 4294967295u) << "saturates, never wraps";
    EXPECT_EQ(common::parse_unsigned("99999999999999999999999"), 4294967295u);
    for (const char* none : {"12abc", "1001a", "-1", "+1", "", "  ", "1 2"}) {
        EXPECT_EQ(common::parse_unsigned(none), std::nullopt) << none;
        EXPECT_EQ(common::field_unsigned(none), 0u) << none;
    }
    EXPECT_EQ(common::field_in_range("0", 1, 4095), 1u);
    EXPECT_EQ(common::field_in_range("4294967296", 1, 4095), 4095u);
    EXPECT_EQ(common::field_state("255"), 254);
    EXPECT_EQ(common::field_state("254"), 254);
    EXPECT_EQ(common::field_signed(" -2147483649"), -2147483647 - 1);
    EXPECT_EQ(common::field_signed("+2147483648"), 2147483647);
    EXPECT_EQ(common::field_signed("- 5"), 0);
}

TEST(FormFields, AnUneditedFieldGivesTheStoredValueAnEditedOneTheTypedText) {
    common::FormControl f;
    common::show_value(f, 7.6294e-5f, "0.00008");
    EXPECT_EQ(common::field_f32(f), 7.6294e-5f);
    f.text = "0.00008";  // typed again as shown: still unedited
    EXPECT_EQ(common::field_f32(f), 7.6294e-5f);
    f.text = "1e39";
    EXPECT_EQ(common::field_f32(f), std::numeric_limits<float>::infinity()) << "no bare cast";
    common::show_value(f, 300, "300");
    EXPECT_EQ(common::field_unsigned_value(f, 0, 254), 300u)
        << "a stored value outside the range stays";
    f.text = "300";
    EXPECT_EQ(common::field_unsigned_value(f, 0, 254), 300u);
    f.text = "301";
    EXPECT_EQ(common::field_unsigned_value(f, 0, 254), 254u);
    common::show_value(f, -5, "-5");
    EXPECT_EQ(common::field_signed_value(f), -5);

    EXPECT_EQ(common::kept_flag(true, 2), 2);
    EXPECT_EQ(common::kept_flag(false, 2), 0);
    EXPECT_EQ(common::kept_flag(true, 0), 1);
}

TEST(FormFields, AStoredValueNoEntryOffersGetsAnEntryOfItsOwn) {
    common::FormControl channels = common::make_list("", "Input", records::input_channel_choices());
    common::show_choice(channels, 9);
    EXPECT_EQ(channels.choices.back().text, "9");
    EXPECT_EQ(common::selected_value(channels), 9u);
    common::show_choice(channels, 3);
    EXPECT_EQ(channels.choices.size(), 8u) << "the entry of an earlier value goes";
    EXPECT_EQ(common::selected_value(channels), 3u);
    common::FormControl mux = common::make_list("", "Multiplexer", {{0, "None"}, {1, "pH"}});
    common::show_choice(mux, 7);
    EXPECT_EQ(mux.choices.back().text, "unknown (7)");
}

TEST(FormFields, RealFieldsTakeTheLongestNumberInTheFirst23Characters) {
    EXPECT_DOUBLE_EQ(common::field_real("1.5e3xyz"), 1500.0);
    EXPECT_DOUBLE_EQ(common::field_real("  -2.5"), -2.5);
    EXPECT_DOUBLE_EQ(common::field_real("+.5"), 0.5);
    EXPECT_EQ(common::field_real("abc"), 0.0);
    EXPECT_EQ(common::field_real("--1"), 0.0);
    EXPECT_DOUBLE_EQ(common::field_real("1.0000000000000000000009"), 1.0);
    EXPECT_DOUBLE_EQ(common::field_real("0000000000000000000000012"),
                     0.0);  // digits past 23 unread
    EXPECT_TRUE(std::isinf(common::field_real("1e999")));
}

TEST(FormFields, NumbersShowTheSameInEveryLocale) {
    EXPECT_EQ(common::fixed_text(3.21928, 3), "3.219");
    EXPECT_EQ(common::fixed_text(-0.015820000320672989, 5), "-0.01582");
    EXPECT_EQ(common::general_text(static_cast<double>(0.1f)), "0.1");
    EXPECT_EQ(common::general_text(1e-5), "1e-05");
    EXPECT_EQ(common::general_text(1234567.0), "1.23457e+06");
    EXPECT_EQ(common::general_text(0.0), "0");
}

TEST(FormFields, AListWithoutASelectionCountsAsItsFirstEntry) {
    common::FormControl list = common::make_list("g", "Output", {{7, "a"}, {9, "b"}});
    EXPECT_EQ(common::selected_value(list), 7u);
    common::select_value(list, 9);
    EXPECT_EQ(list.selected, 1u);
    common::select_value(list, 42);  // in no entry: the first entry
    EXPECT_EQ(list.selected, 0u);
}

TEST(ResultList, KeepsTheNewest5001Rows) {
    ProcessingView view;
    PassOutcome outcome;
    for (int i = 0; i < 6000; ++i) {
        outcome.rows.push_back({std::to_string(i)});
    }
    outcome.save_allowed = true;
    RecordingPrompter p;
    finish_pass(view, std::move(outcome), p);
    ASSERT_EQ(view.results.rows.size(), kResultRowCap);
    EXPECT_EQ(view.results.rows[0][0], "999");
    EXPECT_EQ(view.results.rows[5000][0], "5999");
    EXPECT_TRUE(view.save_enabled);
    EXPECT_TRUE(p.prompts.empty());
}

TEST(ResultList, SaveOfAnEmptyListWritesTheTitlesWithoutAMessage) {
    TempFolder folder;
    ResultList list;
    list.columns = {{"A", 10}, {"B", 10}};
    RecordingPrompter p;
    p.files.push_back(folder.path("out.csv"));
    EXPECT_TRUE(save_result_list(list, p));
    EXPECT_EQ(TempFolder::read(folder.path("out.csv")), "A,B\n");
    EXPECT_TRUE(p.texts().empty());
}

TEST(ResultList, AFailedSaveSaysSoAndLeavesTheOldFile) {
    TempFolder folder;
    ResultList list;
    list.columns = {{"A", 10}};
    list.rows.push_back({"1"});
    RecordingPrompter p;
    const std::string bad = folder.path("no-such-folder/out.csv");
    p.files.push_back(bad);
    EXPECT_FALSE(save_result_list(list, p));
    EXPECT_EQ(p.prompts.back().caption, "Save Processed Output");
    EXPECT_EQ(p.texts().back(), "Unable to open " + bad + " for write");

    EXPECT_FALSE(save_result_list(list, p));  // chooser cancelled: nothing written or said
    EXPECT_EQ(p.texts().size(), 1u);
}

TEST(Pass, ACancelledPassListsWhatItHasAndKeepsSaveDisabled) {
    TempFolder folder;
    std::string text = testing::raw_header({{"TYPE", "8"},
                                            {"INLET.0.TYPE", "1"},
                                            {"INLET.0.INTAKE_STATE", "3"},
                                            {"INLET.0.MEASUREMENT_STATE", "4"}});
    for (std::uint32_t i = 0; i < 20000; ++i) {
        text += testing::raw_row(i, 3 + i % 2, 1.0);
    }
    const auto path = folder.write("dic.csv", text);
    records::DicParams params;
    params.inlet[0] = {1, 3, 4, 0};
    const PassJob job = dic_pass_job(path, params, {});

    int checks = 0;
    std::uint64_t last_done = 0;
    std::uint64_t last_total = 0;
    PassControl control;
    control.cancelled = [&checks] { return ++checks > 2; };  // cancel at the third look
    control.progress = [&](std::uint64_t done, std::uint64_t total) {
        last_done = done;
        last_total = total;
    };
    PassOutcome outcome = job(control);
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_FALSE(outcome.rows.empty());      // the results before the cancel
    EXPECT_LT(outcome.rows.size(), 10000u);  // not the whole file
    EXPECT_GT(last_done, 0u);
    EXPECT_LT(last_done, last_total);
    EXPECT_EQ(last_total, std::filesystem::file_size(path));

    ProcessingView view;
    view.save_enabled = true;
    begin_pass(view);
    EXPECT_FALSE(view.save_enabled);
    RecordingPrompter p;
    finish_pass(view, std::move(outcome), p);
    EXPECT_FALSE(view.save_enabled);
    EXPECT_EQ(view.log.back(), kPassCancelledText);
    EXPECT_TRUE(p.prompts.empty());
}

TEST(Pass, LogLinesAreCutAt255Characters) {
    PassOutcome outcome;
    add_log_line(outcome, std::string(300, 'x'));
    EXPECT_EQ(outcome.log.at(0).size(), 255u);
}

}  // namespace
}  // namespace kelpira::processing
