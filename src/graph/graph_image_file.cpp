// Saving a graph picture as a PNG file.
#include "graph/graph_image_file.hpp"

#include <ostream>

#include "common/safe_file.hpp"

namespace kelpira::graph {

void save_graph_image(common::Prompter& prompter, std::span<const std::uint8_t> png) {
    const auto path = prompter.choose_save_file(
        {.title = "Save Image",
         .filters = {{"PNG Files (*.png)", "*.png"}, {"All Files (*.*)", "*.*"}},
         .default_extension = "png",
         .initial_name = "",
         .prompt_overwrite = true});
    if (!path) {
        return;
    }
    const bool written = common::write_file_safely(*path, [png](std::ostream& out) {
        out.write(reinterpret_cast<const char*>(png.data()),
                  static_cast<std::streamsize>(png.size()));
        return static_cast<bool>(out);
    });
    if (!written) {
        prompter.message("Save Image", "Unable to open " + *path + " for write");
    }
}

}  // namespace kelpira::graph
