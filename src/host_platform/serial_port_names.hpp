// Where virtual sensors publish their serial lines, so that the simulator's port list shows
// them beside the machine's serial ports.
#pragma once

#include <sys/stat.h>

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

// The links in `folder`, opened once by descriptor, when it and its parent are private to this
// user (otherwise none, and the problem says why). Only links to "/dev/pts/N" of this user or
// root are listed (a virtual sensor's serial side); names starting with '.' are links still
// being set up and are left out. A missing folder is made private (the default one with its
// parent); where a folder above is missing, nothing is listed and no problem said.
SerialLinks serial_links(const std::string& folder);

// Where `path` is opened: a path in the serial link folder is opened as the pseudo-terminal
// its link names ("/dev/pts/N", read through the folder's descriptor), only while the folder
// is private to this user; any other path as it is. A path with a ".." part is refused. Empty,
// with `line` set, when it may be opened; otherwise why not.
std::string serial_line_to_open(const std::string& path, std::string& line);

// Why a line whose status is `st` must not be used: a pseudo-terminal of another user (root's
// and this user's are used). Empty for every other line.
std::string terminal_owner_problem(const struct stat& st);

}  // namespace kelpira::host_platform
