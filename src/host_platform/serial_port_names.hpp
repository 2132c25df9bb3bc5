// Where virtual sensors publish their serial lines, so that the simulator's port list shows
// them beside the machine's serial ports.
#pragma once

#include <string>
#include <vector>

namespace kelpira::host_platform {

// "$XDG_RUNTIME_DIR/kelpira/serial", or "<temp>/kelpira-<uid>/serial" without XDG_RUNTIME_DIR
// (beside the virtual sensors' device folder).
std::string serial_link_folder();

// The path of the link named `name` (the sensor's name) in `folder`.
std::string serial_link_path(const std::string& folder, const std::string& name);

struct SerialLinks {
    std::vector<std::string> paths;  // full paths, sorted by name
    std::string problem;             // why the folder's links are not listed; empty when they are
};

// The links in `folder`, when it and its parent are private to this user (otherwise none,
// and the problem says why). Only links to a pseudo-terminal are listed (a virtual sensor's
// serial side); names starting with '.' are links still being set up and are left out.
// Nothing, and no problem, when the folder does not exist.
SerialLinks serial_links(const std::string& folder);

// Why `path` must not be opened as a virtual sensor's serial line: it lies in the serial link
// folder, but the folder is not private to this user or the path is not a link to a
// pseudo-terminal. Empty when it may be opened, and for every path outside that folder.
std::string serial_link_problem(const std::string& path);

}  // namespace kelpira::host_platform
