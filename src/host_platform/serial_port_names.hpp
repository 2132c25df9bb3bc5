// Where virtual sensors publish their serial lines, so that the simulator's port list shows
// them beside the machine's serial ports.
#pragma once

#include <string>
#include <vector>

namespace kelpira::simulator {

// "$XDG_RUNTIME_DIR/kelpira/serial", or "<temp>/kelpira-<uid>/serial" without XDG_RUNTIME_DIR
// (beside the virtual sensors' device folder).
std::string serial_link_folder();

// The path of the link named `name` (the sensor's name) in `folder`.
std::string serial_link_path(const std::string& folder, const std::string& name);

// The links in `folder` as full paths, sorted by name; names starting with '.' are links
// still being set up and are left out. Empty when the folder does not exist.
std::vector<std::string> serial_links(const std::string& folder);

}  // namespace kelpira::simulator
