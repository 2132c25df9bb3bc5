// The raw output graph view's reads: the run's first channel selection, thermistors read in
// order up to the first failure, and labels only after all reads succeeded.
#include "graph/raw_graph_setup.hpp"

#include "link/scripted_sensor.hpp"
#include "records/chemistry_config.hpp"
#include "support/recording_prompter.hpp"

using namespace kelpira;
using namespace kelpira::graph;
using namespace kelpira::views;
using namespace kelpira::records;
using link::testing::Answer;

namespace {

struct RawGraphSetupTest : link::testing::SensorFixture {
    kelpira::testing::RecordingPrompter prompter;
    RawGraphSettings settings;

    // A pH sensor whose thermistor `failing` cannot be read (3: none fails).
    void open_sensor(int failing) {
        open([failing](const link::SensorCommand& r) -> std::optional<Answer> {
            const int code = r.bytes[1] | (r.bytes[2] << 8);
            if (code == 400) {
                records::ChemistryConfig c;
                c.chemistry = records::ChemistryType::ph;
                const auto bytes = records::encode(c);
                return Answer{0, {bytes.begin(), bytes.end()}};
            }
            if (code == 404 && r.bytes[link::kPayloadOffset] == failing) {
                return Answer{5, {}};
            }
            records::ThermistorConfig t;
            t.input_channel = static_cast<std::uint8_t>(r.bytes[link::kPayloadOffset] + 2);
            const auto bytes = records::encode(t);
            return Answer{0, {bytes.begin(), bytes.end()}};
        });
    }
};

}  // namespace

TEST_F(RawGraphSetupTest, AThermistorThatCannotBeReadStopsTheReadsAndKeepsGenericLabels) {
    open_sensor(1);
    records::ChemistryConfig chemistry;
    chemistry.chemistry = records::ChemistryType::ph;

    const RawGraphSetup setup = open_raw_graph(link, prompter, chemistry, settings);

    ASSERT_EQ(sent().size(), 3u);  // the run's first selection, thermistors 0 and 1
    EXPECT_EQ(code_sent(0), 400);
    EXPECT_EQ(code_sent(2), 404);
    EXPECT_EQ(settings.channel_selected,
              (ChannelFlags{true, true, false, true, true, true, false, false}));
    EXPECT_EQ(setup.thermistors[0].input_channel, 2);
    EXPECT_EQ(setup.thermistors[1], records::ThermistorConfig{});
    EXPECT_EQ(setup.labels[0], "Channel 0");
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].caption, "Thermistor 1");
    EXPECT_EQ(prompter.prompts[0].text, "Unable to get thermistor(1) config");
}

TEST_F(RawGraphSetupTest, ALaterViewKeepsTheRunsSelectionAndLabelsAfterAllReads) {
    open_sensor(3);
    settings.channel_selected = ChannelFlags{};
    records::ChemistryConfig chemistry;
    chemistry.chemistry = records::ChemistryType::ph;

    RawGraphSetup setup = open_raw_graph(link, prompter, chemistry, settings);

    EXPECT_EQ(sent().size(), 3u);  // the three thermistors only
    EXPECT_EQ(settings.channel_selected, ChannelFlags{});
    EXPECT_EQ(setup.labels[1], "578nm");
    EXPECT_EQ(setup.thermistors[2].input_channel, 4);
    EXPECT_TRUE(prompter.prompts.empty());

    // No chemistry: no thermistor read at all.
    EXPECT_EQ(open_raw_graph(link, prompter, std::nullopt, settings).labels[1], "Channel 1");
    EXPECT_EQ(sent().size(), 3u);
}
