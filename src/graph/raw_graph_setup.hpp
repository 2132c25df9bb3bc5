// What the raw output graph view reads from the sensor when it opens and on reload: the
// run's first channel selection, the channel labels and the three thermistors.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "common/prompter.hpp"
#include "graph/raw_graph_channels.hpp"
#include "link/sensor_link.hpp"
#include "records/chemistry_config.hpp"
#include "records/thermistor_config.hpp"

namespace kelpira::graph {

struct RawGraphSetup {
    std::array<std::string, kRawChannels> labels = generic_channel_labels();
    std::array<records::ThermistorConfig, 3> thermistors{};  // zero when unreadable
};

// View creation, after the view's own chemistry read (`view_chemistry`, empty when it
// failed). The first raw graph view of a run reads the chemistry once more to tick its
// channels. Thermistors 0, 1 and 2 are read only after a successful chemistry read, in
// order, up to the first failure, which the user is told of; the labels follow the
// chemistry only when all four reads succeeded.
RawGraphSetup open_raw_graph(link::SensorLink& link, common::Prompter& prompter,
                             const std::optional<records::ChemistryConfig>& view_chemistry,
                             RawGraphSettings& settings);

// Reload, after the view re-read its chemistry (`reread`, empty when that failed): the
// labels follow a successful re-read; each thermistor is read again, zero when it fails,
// without a word.
void reload_raw_graph(link::SensorLink& link, const std::optional<records::ChemistryConfig>& reread,
                      RawGraphSetup& setup);

}  // namespace kelpira::graph
