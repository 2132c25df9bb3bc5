// The processed output views' flags: which series a result's flag comes from, revisions of
// an earlier result, results out of time order, the list's revised cell, and the reader that
// ends each row in its flag.
#include "views/live_quality.hpp"

#include <gtest/gtest.h>

#include <limits>

#include "views/row_list.hpp"
#include "views/view_sensor.hpp"
#include "views/view_workers.hpp"

namespace kelpira::views {
namespace {

using quality::Flag;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

quality::QcParametersFile parameters(std::string_view text) {
    std::string error;
    auto file = quality::read_qc_parameters(text, error);
    EXPECT_TRUE(file) << error;
    return *file;
}

// The Short channel with a spike test; Medium and Long with a span 7 fails.
constexpr std::string_view kNitrate = R"({
  "nitrate/Short": {"gross_range": {"sensor_span": [0, 20]},
                    "spike": {"suspect_threshold": 1, "fail_threshold": 2}},
  "nitrate": {"gross_range": {"sensor_span": [0, 1]}}})";

records::OutputRecord result(std::uint32_t time, double value, float medium, float short_path,
                             float long_path) {
    records::OutputRecord r;
    r.sensor_time = time;
    r.value = value;
    r.p1 = medium;
    r.p2 = short_path;
    r.p3 = long_path;
    return r;
}

TEST(LiveQuality, ANutrientResultShowsTheFlagOfTheChannelItsValueIs) {
    LiveQuality q(parameters(kNitrate), records::ChemistryType::nitrate);
    struct Step {
        records::OutputRecord record;
        Flag shown;
        std::vector<ResultFlag> revised;
    };
    const std::vector<Step> steps{
        {result(0, 5, 7, 5, 0.5), Flag::pass, {}},  // Short's; Medium's 7 fails unseen
        {result(3600, 9, 7, 9, 0.5), Flag::pass, {}},
        // 9 between 5 and 5 is 4 away: a spike, decided by the result after it.
        {result(7200, 5, 7, 5, 0.5), Flag::pass, {{1, Flag::fail}}},
        // A value that is no channel's shows the worst of them (Medium's 4); 5 lies 2.25
        // below the line from 9 to 5.5.
        {result(10800, 0, 7, 5.5, 0.5), Flag::fail, {{2, Flag::fail}}},
        {result(10800, 5.5, 7, 5.5, 0.5), Flag::not_evaluated, {}},  // time did not increase
        // 5.5 between 5 and 5.5 passes, but the result showed Medium's fail: nothing changes.
        {result(14400, kNaN, 7, 5.5, 0.5), Flag::missing, {}},
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        const auto got = q.append(steps[i].record);
        EXPECT_EQ(got.flag, steps[i].shown);
        EXPECT_EQ(got.revised, steps[i].revised);
    }
}

TEST(LiveQuality, WithoutParametersOrForAChemistryWithoutThemNothingIsFlagged) {
    LiveQuality none(std::nullopt, records::ChemistryType::ph);
    EXPECT_EQ(none.append(result(0, 8.1, 0, 0, 0)).flag, Flag::not_evaluated);
    EXPECT_EQ(none.append(result(1, kNaN, 0, 0, 0)).flag, Flag::missing);
    LiveQuality other(parameters(kNitrate), records::ChemistryType::ph);
    EXPECT_EQ(other.append(result(0, 99, 0, 0, 0)).flag, Flag::not_evaluated);
    // pH is one series, its value: a bare object covers every kind.
    LiveQuality ph(parameters(R"({"gross_range": {"sensor_span": [7, 9]}})"),
                   records::ChemistryType::ph);
    EXPECT_EQ(ph.append(result(0, 9.0004, 0, 0, 0)).flag, Flag::pass);  // shown as 9.000
    EXPECT_EQ(ph.append(result(1, 9.0006, 0, 0, 0)).flag, Flag::fail);  // shown as 9.001
}

TEST(LiveQuality, FlagCellsAndTheirColours) {
    EXPECT_EQ(flag_cell(Flag::pass), (FlagCell{"1", std::nullopt}));
    EXPECT_EQ(flag_cell(Flag::missing), (FlagCell{"9", std::nullopt}));
    EXPECT_EQ(flag_cell(Flag::suspect), (FlagCell{"3", Rgb{255, 191, 0}}));
    EXPECT_EQ(flag_cell(Flag::fail), (FlagCell{"4", Rgb{255, 0, 0}}));
}

TEST(RowLists, ARevisedCellIsFoundByItsRowNumberUnlessTheCapDroppedIt) {
    RowList list(3);
    for (int i = 0; i < 5; ++i) {
        list.append({{std::to_string(i), "2"}, kBlack, std::nullopt});
    }
    EXPECT_FALSE(list.revise_last_cell(1, "4", kRed));  // dropped
    EXPECT_FALSE(list.revise_last_cell(5, "4", kRed));  // not yet read
    EXPECT_EQ(list.revise_last_cell(3, "4", kRed), 1U);
    EXPECT_EQ(list[1], (ViewRow{{"3", "4"}, kBlack, kRed}));
}

class LiveQualityReader : public testing::ViewSensorTest {};

TEST_F(LiveQualityReader, EachRowEndsInItsFlagAndAnEarlierRowIsRevised) {
    edit([](virtual_sensor::SensorState& s) {
        for (const auto& r :
             {result(0, 5, 7, 5, 0.5), result(3600, 9, 7, 9, 0.5), result(7200, 5, 7, 5, 0.5)}) {
            s.stores.outputs.entries.push_back(r);
        }
    });
    common::WorkerControl control;
    std::atomic<bool> paused{false};
    std::vector<std::string> events;
    std::vector<ViewRow> rows;
    const RowSink sink{[&] { events.push_back("clear"); },
                       [&](ViewRow row, bool) {
                           events.push_back("row " + row.cells.back());
                           rows.push_back(std::move(row));
                           if (rows.size() == 3) {
                               control.request_stop();
                           }
                       },
                       [&](std::size_t row, std::string text, std::optional<Rgb> colour) {
                           events.push_back("revise " + std::to_string(row) + " " + text +
                                            (colour == kRed ? " red" : ""));
                       }};
    LiveQuality q(parameters(kNitrate), records::ChemistryType::nitrate);
    run_output_reader(control, link, paused, sink, &q);
    EXPECT_EQ(events, (std::vector<std::string>{"row 1", "row 1", "revise 1 4 red", "row 1"}));
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(rows[0].cells.size(), 13U);
    EXPECT_FALSE(rows[0].last_cell_colour);
}

}  // namespace
}  // namespace kelpira::views
