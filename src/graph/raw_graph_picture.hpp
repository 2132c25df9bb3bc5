// The raw output graph as a picture: eight analogue channels of the newest live samples, one
// sample per pixel column on a fixed 0 to 5 V scale, with the platform's values and the
// thermistor temperatures above the plot when asked for.
#pragma once

#include <array>
#include <optional>
#include <span>

#include "graph/graph_primitives.hpp"
#include "records/live_sample.hpp"
#include "records/platform_state.hpp"
#include "records/thermistor_config.hpp"

namespace kelpira::graph {

inline constexpr views::Rgb kRawGraphBackground{150, 150, 150};

struct RawGraphInput {
    Rect client;  // right and bottom already limited to the screen size minus 1
    // The newest samples, oldest first. Only the newest raw_graph_columns(client) are drawn.
    std::span<const records::LiveSample> samples;
    std::array<bool, records::LiveSample::kChannels> channels{};  // which traces are drawn
    std::optional<records::PlatformState> platform;               // the platform line, when shown
    // The thermistor line, when shown; thermistors 0, 1 and 2.
    std::optional<std::array<records::ThermistorConfig, 3>> thermistors;
    std::optional<Point> cursor;  // while the left button is held
    int trace_width = 2;
};

// How many samples fit: the plot width in columns (0 for a window too small to plot).
std::size_t raw_graph_columns(const Rect& client);

Picture raw_graph_picture(const RawGraphInput& input);

// Degrees Celsius of a thermistor from the sample's channel `input_channel`; 0 for a channel
// the sample does not have.
double thermistor_temperature(const records::ThermistorConfig& thermistor,
                              const records::LiveSample& sample);

}  // namespace kelpira::graph
