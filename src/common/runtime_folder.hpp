// The program's folder for this user's session: device sockets and serial links live under it.
#pragma once

#include <string>

namespace kelpira::common {

// "$XDG_RUNTIME_DIR/kelpira", or "<temp>/kelpira-<uid>" without XDG_RUNTIME_DIR.
std::string runtime_folder();

// `folder` and `name` joined by one '/', whatever slashes `folder` ends with.
std::string path_in_folder(const std::string& folder, const std::string& name);

}  // namespace kelpira::common
