// The processed output graph: value label steps, the zoom stack with its limit, drags,
// selection by click, the zoom that follows new points, and the placement of points.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "graph/proc_graph.hpp"
#include "graph/proc_graph_axes.hpp"
#include "support/recording_prompter.hpp"

using namespace kelpira;
using namespace kelpira::graph;
using namespace kelpira::views;
using namespace kelpira::records;

namespace {

// Plot from (40, 40) to (439, 339): W = 400, H = 300.
constexpr Rect kClient{0, 0, 479, 379};
const ProcGraphLayout kLayout = proc_graph_layout(kClient);

int width_of(std::string_view text) {
    return static_cast<int>(text.size()) * 8;
}

std::vector<std::string> label_texts(double lo, double hi, int h) {
    std::vector<std::string> out;
    for (const auto& l : value_labels(lo, hi, h)) {
        out.push_back(l.text);
    }
    return out;
}

// Points at times 0, 100, ..., 1000 with values 0, 10, ..., 100.
ProcGraph ramp() {
    ProcGraph g;
    g.set_chemistry(records::ChemistryType::generic);
    for (std::uint32_t i = 0; i <= 10; ++i) {
        g.add_point(i * 100, i * 10.0);
    }
    g.redraw(kClient, width_of);
    return g;
}

}  // namespace

TEST(ProcGraphAxes, LabelStepsAreRoundAndLeaveThirtyFivePixelsEach) {
    ASSERT_EQ(kLayout.w, 400);
    ASSERT_EQ(kLayout.h, 300);
    EXPECT_DOUBLE_EQ(*value_label_step(0, 500, 300), 80);
    EXPECT_EQ(label_texts(0, 500, 300),
              (std::vector<std::string>{"0", "80", "160", "240", "320", "400", "480"}));
    EXPECT_DOUBLE_EQ(*value_label_step(7.5, 8.5, 300), 0.2);
    EXPECT_EQ(label_texts(7.5, 8.5, 300),
              (std::vector<std::string>{"7.60", "7.80", "8.00", "8.20", "8.40"}));
    EXPECT_EQ(label_texts(0, 50, 300)[1], "8.0");
    // No step: an empty range, or a plot with room for no label.
    EXPECT_TRUE(value_labels(5, 5, 300).empty());
    EXPECT_TRUE(value_labels(0, 500, 69).empty());
}

TEST(ProcGraphAxes, ChemistryTableGivesUnitAndDefaultRange) {
    ProcGraph g;
    g.set_chemistry(records::ChemistryType::ph);
    EXPECT_EQ(g.viewport(0), (Viewport{0, 0, 0, 8.5}));  // no points yet: 0 is in the extent
    EXPECT_EQ(chemistry_axis(records::ChemistryType::ammonia)->unit, "Ammonia (?\?\?)");
    EXPECT_FALSE(chemistry_axis(static_cast<records::ChemistryType>(10)));
    const Picture p = g.redraw(kClient, width_of);
    // The unit label is cut to its box, 95 pixels wide.
    const auto unit = std::find_if(p.texts.begin(), p.texts.end(),
                                   [](const Text& t) { return t.align == Align::left; });
    ASSERT_NE(unit, p.texts.end());
    EXPECT_EQ(unit->text, "pH");
    g.set_chemistry(records::ChemistryType::dic);
    const Picture dic = g.redraw(kClient, width_of);
    EXPECT_TRUE(std::count(dic.texts.begin(), dic.texts.end(),
                           Text{"DIC (umo...", {5, 0, 100, 40}, Align::left}));
}

TEST(ProcGraphZoom, DragsZoomInTimeOrValueAndSmallOnesDoNothing) {
    kelpira::testing::RecordingPrompter prompter;
    ProcGraph g = ramp();
    const Viewport full = g.viewport(0);
    EXPECT_EQ(full, (Viewport{0, 1000, 0, 100}));

    EXPECT_FALSE(g.end_drag({100, 200}, {102, 198}, kLayout, prompter));
    EXPECT_EQ(g.zoom_level(), 0);

    // 3 pixels right from x = 140 (a quarter of the plot) to 143.
    ASSERT_TRUE(g.end_drag({140, 200}, {143, 200}, kLayout, prompter));
    EXPECT_EQ(g.zoom_level(), 1);
    EXPECT_EQ(g.current(), (Viewport{250, 1000 - 740, 0, 100}));

    // 10 right and 10 down: a value zoom, from 40 rows below the top to 50.
    ASSERT_TRUE(g.end_drag({200, 80}, {210, 90}, kLayout, prompter));
    const Viewport v = g.current();
    EXPECT_EQ(v.t_min, 250u);
    EXPECT_EQ(v.t_max, 260u);
    EXPECT_DOUBLE_EQ(v.v_max, 100 - 40.0 / 300 * 100);
    EXPECT_DOUBLE_EQ(v.v_min, 0 + 249.0 / 300 * 100);
    EXPECT_TRUE(prompter.prompts.empty());

    // Two right clicks return to the full extent; a third does nothing.
    EXPECT_TRUE(g.zoom_out());
    EXPECT_TRUE(g.zoom_out());
    EXPECT_EQ(g.current(), full);
    EXPECT_FALSE(g.zoom_out());
    EXPECT_EQ(g.zoom_level(), 0);
}

TEST(ProcGraphZoom, TheEleventhZoomIsRefused) {
    kelpira::testing::RecordingPrompter prompter;
    ProcGraph g = ramp();
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(g.end_drag({40, 100}, {439, 100}, kLayout, prompter));
    }
    const Viewport tenth = g.current();
    EXPECT_FALSE(g.end_drag({40, 100}, {439, 100}, kLayout, prompter));
    EXPECT_EQ(g.zoom_level(), 10);
    EXPECT_EQ(g.current(), tenth);
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].caption, "Max zoom");
    EXPECT_EQ(prompter.prompts[0].text, "Max zoom number exceeded (10)");
    g.reset();
    EXPECT_EQ(g.zoom_level(), 0);
}

TEST(ProcGraphSelection, AClickSelectsAPointNearerThanTenPixels) {
    ProcGraph g = ramp();
    // Time 500, value 50: x = 40 + 200, y = 339 - 150.
    const GraphPoint& p = g.points()[5];
    ASSERT_EQ(p.px, 240);
    ASSERT_EQ(p.py, 189);

    g.click({240 + 9, 189});
    EXPECT_EQ(g.selected(), 5u);
    const Picture pic = g.redraw(kClient, width_of);
    EXPECT_TRUE(std::count(pic.texts.begin(), pic.texts.end(),
                           Text{"timestamp=01/01/1970 00:08:20, value=50.00", {40, 0, 439, 40}}));
    EXPECT_TRUE(
        std::count(pic.lines.begin(), pic.lines.end(), Line{{235, 184}, {245, 194}, kRed, 2}));
    EXPECT_EQ(pic.dots.back(), (Dot{{240, 189}, 2, kWhite, kRed}));

    g.click({240 + 6, 189 + 8});
    EXPECT_FALSE(g.selected());
}

TEST(ProcGraphPoints, AZoomAtTheNewestTimeFollowsNewPoints) {
    kelpira::testing::RecordingPrompter prompter;
    ProcGraph g = ramp();
    // Keep the right half: its window ends at the newest time.
    ASSERT_TRUE(g.end_drag({240, 100}, {439, 100}, kLayout, prompter));
    EXPECT_EQ(g.current(), (Viewport{500, 1000, 0, 100}));
    g.add_point(1100, 120);
    EXPECT_EQ(g.current(), (Viewport{600, 1100, 0, 120}));
    EXPECT_EQ(g.viewport(0), (Viewport{0, 1100, 0, 120}));

    // A window that stops short of the newest time stays put.
    ASSERT_TRUE(g.end_drag({40, 100}, {240, 100}, kLayout, prompter));
    const Viewport earlier = g.current();
    g.add_point(1200, -5);
    EXPECT_EQ(g.current(), earlier);
    EXPECT_EQ(g.viewport(0), (Viewport{0, 1200, -5, 120}));
    EXPECT_EQ(g.data_min(), -5);
}

TEST(ProcGraphPoints, OnePointSitsMidPlotAndEveryTimeLabelShowsItsTime) {
    ProcGraph g;
    g.set_chemistry(records::ChemistryType::nitrate);
    g.add_point(86400 + 3600, 250);
    const Picture p = g.redraw(kClient, width_of);
    ASSERT_EQ(p.dots.size(), 1u);
    EXPECT_EQ(p.dots[0].centre, (Point{40 + 200, 339 - 150}));
    const auto times = std::count_if(p.texts.begin(), p.texts.end(),
                                     [](const Text& t) { return t.text == "02/01 01:00"; });
    EXPECT_EQ(times, 4);  // at 0, 100, 200 and 300 pixels
}

TEST(ProcGraphPoints, PointsOnOnePixelMakeOneDotAndTheStoreHasALimit) {
    ProcGraph g;
    g.set_chemistry(records::ChemistryType::generic);
    g.add_point(0, 0);
    g.add_point(1000, 100);
    g.add_point(500, 50);
    g.add_point(500, 50.1);  // the same pixel
    const Picture p = g.redraw(kClient, width_of);
    EXPECT_EQ(p.dots.size(), 3u);
    EXPECT_EQ(g.points()[3].px, g.points()[2].px);

    for (std::size_t i = g.points().size(); i < ProcGraph::kMaxPoints; ++i) {
        g.add_point(1000, 1);
    }
    EXPECT_FALSE(g.add_point(2000, 1));
    EXPECT_EQ(g.points().size(), ProcGraph::kMaxPoints);
    EXPECT_EQ(g.viewport(0).t_max, 1000u);
}

// A failed measurement can be stored as NaN or infinity, and two results can span more than a
// double holds: the graph skips the first and draws the second without a value scale.
TEST(ProcGraphPoints, NonFiniteValuesAreSkippedAndAnEndlessRangeHasNoScale) {
    kelpira::testing::RecordingPrompter prompter;
    ProcGraph g;
    g.set_chemistry(records::ChemistryType::generic);
    for (const double v : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        EXPECT_FALSE(g.add_point(100, v));
    }
    EXPECT_TRUE(g.points().empty());
    EXPECT_TRUE(g.add_point(0, -1.7e308));
    EXPECT_TRUE(g.add_point(1000, 1.7e308));
    EXPECT_TRUE(g.add_point(500, 50));
    EXPECT_EQ(g.viewport(0), (Viewport{0, 1000, -1.7e308, 1.7e308}));

    const Picture p = g.redraw(kClient, width_of);
    std::vector<Point> centres;
    for (const auto& d : p.dots) {
        centres.push_back(d.centre);
    }
    EXPECT_EQ(centres, (std::vector<Point>{{40, 189}, {240, 189}, {440, 189}}));
    EXPECT_EQ(std::count_if(p.texts.begin(), p.texts.end(),
                            [](const Text& t) { return t.align == Align::right; }),
              0);                                                        // no value labels
    EXPECT_FALSE(g.end_drag({100, 50}, {110, 250}, kLayout, prompter));  // nothing to zoom in
    EXPECT_TRUE(g.end_drag({140, 100}, {240, 110}, kLayout, prompter));
    EXPECT_EQ(g.redraw(kClient, width_of).dots.size(), 1u);
}

TEST(ProcGraphPoints, TheDragIndicatorFollowsTheLongerAxis) {
    EXPECT_TRUE(drag_indicator({100, 100}, {102, 102}).empty());
    const auto across = drag_indicator({100, 100}, {150, 110});
    ASSERT_EQ(across.size(), 3u);
    EXPECT_EQ(across[0], (Line{{100, 100}, {150, 100}, kWhite, 1}));
    EXPECT_EQ(across[2], (Line{{150, 95}, {150, 105}, kWhite, 1}));
    const auto down = drag_indicator({100, 100}, {110, 110});
    EXPECT_EQ(down[0], (Line{{100, 100}, {100, 110}, kWhite, 1}));
    EXPECT_EQ(clamp_to_plot({0, 1000}, kLayout), (Point{40, 339}));
}

// Points out of time order, some redrawn between arrivals, are drawn as the same points in
// time order: by time, points of one time in arrival order.
TEST(ProcGraphPoints, PointsOutOfTimeOrderDrawAsInTimeOrder) {
    const std::vector<std::pair<std::uint32_t, double>> arrivals{
        {700, 5}, {100, 50}, {700, 90}, {300, 20}, {100, 51}, {900, 70}, {300, 60}, {50, 10}};
    auto sorted = arrivals;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    ProcGraph in_order, out_of_order;
    for (const auto& [t, v] : sorted) {
        in_order.add_point(t, v);
    }
    for (std::size_t i = 0; i < arrivals.size(); ++i) {
        out_of_order.add_point(arrivals[i].first, arrivals[i].second);
        if (i == 2 || i == 5) {
            out_of_order.redraw(kClient, width_of);
        }
    }
    const Picture expected = in_order.redraw(kClient, width_of);
    const Picture drawn = out_of_order.redraw(kClient, width_of);
    ASSERT_EQ(expected.dots.size(), arrivals.size());
    EXPECT_EQ(drawn.dots, expected.dots);
}

// Results 0..3: a pass, a NaN (no point, still a result), a suspect one and one later failed.
TEST(ProcGraphFlags, FlaggedPointsStandOutAndFailedOnesHideWithTheToggle) {
    ProcGraph g;
    g.set_chemistry(records::ChemistryType::generic);
    g.set_flagged(true);
    g.add_point(0, 0, quality::Flag::pass);
    g.add_point(100, std::nan(""), quality::Flag::missing);
    g.add_point(500, 50, quality::Flag::suspect);
    g.add_point(1000, 100, quality::Flag::not_evaluated);
    g.set_flag(3, quality::Flag::fail);
    const Rgb amber{255, 191, 0};
    const auto dots = [&g] { return g.redraw(kClient, width_of).dots; };
    EXPECT_EQ(dots(), (std::vector<Dot>{{{40, 339}, 2, kWhite, std::nullopt},
                                        {{240, 189}, 3, kProcGraphBackground, amber},
                                        {{440, 39}, 3, kRed, std::nullopt},
                                        {{335, 20}, 3, kProcGraphBackground, amber},  // legend
                                        {{415, 20}, 3, kRed, std::nullopt}}));
    g.click({440, 39});
    EXPECT_EQ(g.selected(), 2U);

    g.set_hide_failed(true);
    EXPECT_FALSE(g.selected());
    const Picture hidden = g.redraw(kClient, width_of);
    EXPECT_EQ(hidden.dots.size(), 4U);
    EXPECT_EQ(hidden.dots[1].centre, (Point{240, 189}));
    EXPECT_EQ(hidden.dots[2].centre, (Point{263, 20}));
    EXPECT_TRUE(std::count(hidden.texts.begin(), hidden.texts.end(),
                           Text{"Failed (hidden)", {351, 10, 471, 30}, Align::left}));
    g.click({440, 39});
    EXPECT_FALSE(g.selected());

    g.set_hide_failed(false);
    EXPECT_EQ(dots()[2], (Dot{{440, 39}, 3, kRed, std::nullopt}));
}

// Hidden failed points leave the range: a hidden spike must not keep the value axis stretched.
TEST(ProcGraphFlags, HiddenFailedPointsDoNotCountInTheRange) {
    ProcGraph g;
    g.set_chemistry(records::ChemistryType::ph);  // default 7.5 to 8.5, taking in 0 when empty
    g.set_hide_failed(true);
    g.add_point(0, 12.5, quality::Flag::pass);
    g.add_point(100, 12.6, quality::Flag::pass);
    g.add_point(200, 15.9, quality::Flag::fail);
    g.add_point(300, 12.4, quality::Flag::pass);
    EXPECT_EQ(g.data_min(), 12.4);
    EXPECT_EQ(g.data_max(), 12.6);
    EXPECT_EQ(g.viewport(0), (Viewport{0, 300, 0, 12.6}));

    g.set_hide_failed(false);
    EXPECT_EQ(g.data_max(), 15.9);
    EXPECT_EQ(g.viewport(0), (Viewport{0, 300, 0, 15.9}));

    // A later failure of the top point, while hidden, gives the range back.
    g.set_hide_failed(true);
    g.set_flag(1, quality::Flag::fail);
    EXPECT_EQ(g.data_max(), 12.5);
    EXPECT_EQ(g.viewport(0), (Viewport{0, 300, 0, 12.5}));
}
