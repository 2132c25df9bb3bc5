// The sensor's analogue input channels, which a thermistor or a monitor reads.
#pragma once

#include <cstdint>
#include <vector>

#include "common/form.hpp"

namespace kelpira::records {

inline constexpr std::uint32_t kInputChannels = 8;

// The entries "0".."7" of a channel list.
std::vector<common::Choice> input_channel_choices();

}  // namespace kelpira::records
