// Channel labels and the first selection of the raw output graph, by chemistry.
#include "graph/raw_graph_channels.hpp"

namespace kelpira::graph {

using records::ChemistryType;

std::array<std::string, kRawChannels> generic_channel_labels() {
    std::array<std::string, kRawChannels> labels;
    for (std::size_t c = 0; c < kRawChannels; ++c) {
        labels[c] = "Channel " + std::to_string(c);
    }
    return labels;
}

std::array<std::string, kRawChannels> channel_labels(ChemistryType chemistry) {
    auto labels = generic_channel_labels();
    switch (chemistry) {
        case ChemistryType::nitrate:
        case ChemistryType::phosphate:
        case ChemistryType::silicate:
        case ChemistryType::nitrite:
        case ChemistryType::iron:
            labels = {"Long",        "Medium",      "Short",       "Ch 3",
                      "Monitor (L)", "Monitor (M)", "Monitor (S)", "Temperature"};
            break;
        case ChemistryType::ph:
            labels[0] = "434nm";
            labels[1] = "578nm";
            break;
        default:
            break;
    }
    return labels;
}

ChannelFlags initial_channel_selection(const std::optional<records::ChemistryConfig>& read) {
    ChannelFlags ticked{};
    if (!read || records::code_of(read->chemistry) > records::code_of(ChemistryType::ammonia)) {
        return ticked;
    }
    switch (read->chemistry) {
        case ChemistryType::generic:
            ticked.fill(true);
            break;
        case ChemistryType::phosphate:
            ticked[0] = ticked[1] = ticked[2] = ticked[3] = true;
            break;
        case ChemistryType::ph:
            ticked[0] = ticked[1] = ticked[3] = ticked[4] = ticked[5] = true;
            break;
        default:
            ticked[0] = true;
            break;
    }
    return ticked;
}

}  // namespace kelpira::graph
