// Folders that only this user may use, such as the one where virtual sensors publish their
// device sockets and serial links. Someone else who made such a folder first could serve a
// fake sensor there, or read what the user sends to one; nothing in it is trusted then.
#pragma once

#include <string>

namespace kelpira::common {

// Looks at `folder` and its parent without following links: each must be a real folder owned
// by this user and closed to everyone else. Empty when they are, and when `folder` does not
// exist (nothing is in it); otherwise why not, naming the folder at fault.
std::string private_folder_problem(const std::string& folder);

// Makes `folder` when missing, for this user only (its parent too when `with_parent`), then
// checks it as private_folder_problem does. Empty on success, otherwise why not.
std::string make_private_folder(const std::string& folder, bool with_parent);

}  // namespace kelpira::common
