// The raw output graph's eight channels: trace colours, labels by chemistry, which are ticked
// when a run shows its first raw graph, and the selections kept for the rest of the run.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "graph/graph_primitives.hpp"
#include "records/chemistry_config.hpp"
#include "records/live_sample.hpp"

namespace kelpira::graph {

inline constexpr std::size_t kRawChannels = records::LiveSample::kChannels;

using ChannelFlags = std::array<bool, kRawChannels>;

// Red, green, blue, yellow, cyan, magenta, white, black.
inline constexpr std::array<views::Rgb, kRawChannels> kChannelColours{{
    {255, 0, 0},
    {0, 255, 0},
    {0, 0, 255},
    {255, 255, 0},
    {0, 255, 255},
    {255, 0, 255},
    {255, 255, 255},
    {0, 0, 0},
}};

// "Channel 0" to "Channel 7", the labels before the sensor's chemistry is known.
std::array<std::string, kRawChannels> generic_channel_labels();

// The labels of the channel check boxes for a chemistry: the nutrients name their optical
// paths, pH its two wavelengths, every other chemistry the plain channel numbers.
std::array<std::string, kRawChannels> channel_labels(records::ChemistryType chemistry);

// The channels ticked when a run shows its first raw graph, from the sensor's chemistry
// (none when it could not be read).
ChannelFlags initial_channel_selection(const std::optional<records::ChemistryConfig>& read);

// Kept by the main window for the whole run, so a new raw graph view starts as the last one
// was left. Touched on the UI thread only.
struct RawGraphSettings {
    std::optional<ChannelFlags> channel_selected;  // empty until the first raw graph view
    bool show_platform = false;
    bool show_thermistors = false;
};

}  // namespace kelpira::graph
