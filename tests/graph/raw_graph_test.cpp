// The raw output graph's geometry: rows of channel readings, column labels, the cursor's
// state label, the too-small window, the thermistor line, and the channels by chemistry.
#include <gtest/gtest.h>

#include <algorithm>

#include "graph/raw_graph_channels.hpp"
#include "graph/raw_graph_picture.hpp"

using namespace kelpira;
using namespace kelpira::graph;
using namespace kelpira::views;
using namespace kelpira::records;

namespace {

// A 500 x 399 client: plot 401 columns wide, Hp = 300 rows high, plot bottom at row 349.
constexpr Rect kClient{0, 0, 500, 399};

std::vector<LiveSample> samples(std::size_t n) {
    std::vector<LiveSample> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        out[i].counter = static_cast<std::uint32_t>(1000 + i);
        out[i].state = static_cast<std::uint8_t>(i % 7);
    }
    return out;
}

RawGraphInput input(std::span<const LiveSample> s) {
    RawGraphInput in;
    in.client = kClient;
    in.samples = s;
    return in;
}

bool has_text(const Picture& p, const Text& t) {
    return std::find(p.texts.begin(), p.texts.end(), t) != p.texts.end();
}

std::size_t count_prefix(const Picture& p, std::string_view prefix) {
    return static_cast<std::size_t>(std::count_if(
        p.texts.begin(), p.texts.end(), [&](auto& t) { return t.text.starts_with(prefix); }));
}

}  // namespace

TEST(RawGraph, ZeroCountsLieOnThePlotBottomAndHalfScaleOnRow200FromTheBottom) {
    auto s = samples(2);
    s[0].channel[2] = 0;
    s[1].channel[2] = 32768;
    RawGraphInput in = input(s);
    in.channels[2] = true;

    const Picture p = raw_graph_picture(in);

    ASSERT_EQ(p.traces.size(), 1u);
    EXPECT_EQ(p.traces[0].x0, 50);
    EXPECT_EQ(p.traces[0].ys, (std::vector<int>{399 - 50, 399 - 200}));
    EXPECT_EQ(p.traces[0].colour, (Rgb{0, 0, 255}));
    EXPECT_EQ(p.traces[0].width, 2);
    // The volt scale: 0.0 on the plot bottom, 5.0 on the top row.
    EXPECT_TRUE(has_text(p, {"0.0", {0, 339, 40, 359}, Align::right}));
    EXPECT_TRUE(has_text(p, {"5.0", {0, 39, 40, 59}, Align::right}));
    EXPECT_TRUE(has_text(p, {"volt", {0, 0, 50, 50}, Align::centre}));
}

TEST(RawGraph, OnlyTheNewestColumnIsLabelledUntilMoreThanSixtySamples) {
    auto forty = samples(40);
    const Picture few = raw_graph_picture(input(forty));
    // Newest at column 39: x = 89.
    EXPECT_TRUE(has_text(few, {"1039", {59, 349, 119, 389}}));
    EXPECT_TRUE(has_text(few, {"state 4", {59, 364, 119, 399}}));
    EXPECT_EQ(count_prefix(few, "10"), 1u);
    EXPECT_TRUE(
        std::count(few.lines.begin(), few.lines.end(), Line{{89, 354}, {89, 359}, kWhite, 1}));

    auto sixty_one = samples(61);
    const Picture many = raw_graph_picture(input(sixty_one));
    EXPECT_TRUE(has_text(many, {"1000", {20, 349, 80, 389}}));
    EXPECT_TRUE(has_text(many, {"1060", {80, 349, 140, 389}}));
    EXPECT_EQ(count_prefix(many, "state "), 1u);
}

TEST(RawGraph, AFullPlotShowsTheNewestSamplesOnly) {
    auto s = samples(500);
    s.back().channel[0] = 65535;
    RawGraphInput in = input(s);
    in.channels[0] = true;
    ASSERT_EQ(raw_graph_columns(kClient), 401u);

    const Picture p = raw_graph_picture(in);

    ASSERT_EQ(p.traces[0].ys.size(), 401u);
    EXPECT_EQ(p.traces[0].ys.back(), 49);  // 4.99992 V just under the top row
    EXPECT_TRUE(has_text(p, {"1099", {20, 349, 80, 389}}));
}

TEST(RawGraph, HoldingTheButtonShowsTheStateOfTheSampleUnderThePointer) {
    auto s = samples(10);
    RawGraphInput in = input(s);
    in.cursor = Point{53, 200};
    EXPECT_TRUE(has_text(raw_graph_picture(in), {"state 3", {23, 180, 83, 200}}));

    in.cursor = Point{53, 349};  // on the plot bottom: not strictly above it
    EXPECT_EQ(count_prefix(raw_graph_picture(in), "state "), 1u);
    in.cursor = Point{70, 200};  // right of the newest sample
    EXPECT_EQ(count_prefix(raw_graph_picture(in), "state "), 1u);
}

TEST(RawGraph, AWindowTooSmallKeepsOnlyTheBackground) {
    auto s = samples(5);
    RawGraphInput in = input(s);
    in.client = {0, 0, 134, 399};
    const Picture narrow = raw_graph_picture(in);
    EXPECT_FALSE(narrow.plotted);
    EXPECT_TRUE(narrow.texts.empty() && narrow.lines.empty() && narrow.frames.empty());
    EXPECT_EQ(narrow.background, (Rgb{150, 150, 150}));
    EXPECT_EQ(raw_graph_columns({0, 0, 134, 399}), 0u);
    in.client = {0, 0, 500, 134};
    EXPECT_FALSE(raw_graph_picture(in).plotted);
    in.client = {0, 0, 135, 135};
    EXPECT_TRUE(raw_graph_picture(in).plotted);
}

TEST(RawGraph, PlatformAndThermistorLinesUseTheNewestDrawnSample) {
    auto s = samples(3);
    s.back().channel[3] = 32768;  // 2.5 V
    PlatformState ps;
    ps.depth = 12.345f;
    ps.direction = 3;
    ps.temperature = 9.5f;
    ps.salinity = 35.0f;
    ps.dissolved_oxygen = 6.25f;
    ps.p1 = -1;
    ps.p2 = 2;
    ps.p3 = 3;
    std::array<records::ThermistorConfig, 3> th{};
    th[0] = {0, 3, 1, 0, 2, 1};  // 15.625 + 5 + 1
    th[1] = {0, 9, 0, 0, 0, 7};  // no such channel
    RawGraphInput in = input(s);
    in.platform = ps;
    in.thermistors = th;

    const Picture p = raw_graph_picture(in);

    EXPECT_TRUE(has_text(p, {"depth=12.35 m, dir=3, temp=9.500 C, salin=35.000 PSU, "
                             "DO=6.250 ml/l, P1=-1, P2=2, P3=3",
                             {50, 0, 500, 50}}));
    EXPECT_TRUE(has_text(
        p, {"thermistor1=21.625, thermistor2=0.000, thermistor3=0.000", {50, 30, 500, 50}}));
    in.samples = {};
    EXPECT_EQ(count_prefix(raw_graph_picture(in), "thermistor"), 0u);
}

TEST(RawGraphChannels, FirstSelectionAndLabelsFollowTheChemistry) {
    records::ChemistryConfig c;
    c.chemistry = records::ChemistryType::ph;
    EXPECT_EQ(initial_channel_selection(c),
              (ChannelFlags{true, true, false, true, true, true, false, false}));
    const auto ph = channel_labels(records::ChemistryType::ph);
    EXPECT_EQ(ph[0], "434nm");
    EXPECT_EQ(ph[1], "578nm");
    EXPECT_EQ(ph[2], "Channel 2");
    EXPECT_EQ(ph[7], "Channel 7");
    EXPECT_EQ(channel_labels(records::ChemistryType::silicate)[4], "Monitor (L)");
    EXPECT_EQ(channel_labels(records::ChemistryType::ta)[0], "Channel 0");

    c.chemistry = records::ChemistryType::generic;
    EXPECT_EQ(initial_channel_selection(c), (ChannelFlags{1, 1, 1, 1, 1, 1, 1, 1}));
    c.chemistry = records::ChemistryType::phosphate;
    EXPECT_EQ(initial_channel_selection(c), (ChannelFlags{1, 1, 1, 1, 0, 0, 0, 0}));
    c.chemistry = records::ChemistryType::ammonia;
    EXPECT_EQ(initial_channel_selection(c), (ChannelFlags{1, 0, 0, 0, 0, 0, 0, 0}));
    c.chemistry = static_cast<records::ChemistryType>(10);
    EXPECT_EQ(initial_channel_selection(c), ChannelFlags{});
    EXPECT_EQ(initial_channel_selection(std::nullopt), ChannelFlags{});
}
