// The raw output graph view's reads at creation and reload.
#include "graph/raw_graph_setup.hpp"

#include "records/chemistry_transfer.hpp"

namespace kelpira::graph {

RawGraphSetup open_raw_graph(link::SensorLink& link, common::Prompter& prompter,
                             const std::optional<records::ChemistryConfig>& view_chemistry,
                             RawGraphSettings& settings) {
    if (!settings.channel_selected) {
        records::ChemistryConfig read;
        settings.channel_selected = initial_channel_selection(
            records::get_chemistry_config(link, read) == 0 ? std::optional(read) : std::nullopt);
    }
    RawGraphSetup setup;
    if (!view_chemistry) {
        return setup;
    }
    for (std::uint8_t k = 0; k < setup.thermistors.size(); ++k) {
        if (records::get_thermistor_config(link, k, setup.thermistors[k]) != 0) {
            setup.thermistors[k] = {};
            const std::string n = std::to_string(k);
            prompter.message("Thermistor " + n, "Unable to get thermistor(" + n + ") config");
            return setup;
        }
    }
    setup.labels = channel_labels(view_chemistry->chemistry);
    return setup;
}

void reload_raw_graph(link::SensorLink& link, const std::optional<records::ChemistryConfig>& reread,
                      RawGraphSetup& setup) {
    if (reread) {
        setup.labels = channel_labels(reread->chemistry);
    }
    for (std::uint8_t k = 0; k < setup.thermistors.size(); ++k) {
        if (records::get_thermistor_config(link, k, setup.thermistors[k]) != 0) {
            setup.thermistors[k] = {};
        }
    }
}

}  // namespace kelpira::graph
