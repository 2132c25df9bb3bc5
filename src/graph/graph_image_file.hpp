// "Save Image..." of the graph views: the file request and the safe write of the picture.
#pragma once

#include <cstdint>
#include <span>

#include "common/prompter.hpp"

namespace kelpira::graph {

// Asks for a file name and writes `png` (the picture as shown, PNG-encoded) there through
// the safe writer. Cancel does nothing; a failed write is told to the user.
void save_graph_image(common::Prompter& prompter, std::span<const std::uint8_t> png);

}  // namespace kelpira::graph
