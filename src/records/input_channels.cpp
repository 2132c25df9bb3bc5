#include "records/input_channels.hpp"

#include <string>

namespace kelpira::records {

std::vector<common::Choice> input_channel_choices() {
    std::vector<common::Choice> out;
    for (std::uint32_t i = 0; i < kInputChannels; ++i) {
        out.push_back({i, std::to_string(i)});
    }
    return out;
}

}  // namespace kelpira::records
