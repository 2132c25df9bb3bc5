// Folders that only this user may use, such as the one where virtual sensors publish their
// device sockets and serial links. Someone else who made such a folder first could serve a
// fake sensor there, or read what the user sends to one; nothing in it is trusted then.
#pragma once

#include <string>

#include "common/unique_fd.hpp"

namespace kelpira::common {

// Looks at `folder` and its parent without following links: each must be a real folder owned
// by this user and closed to everyone else. Empty when they are, and when `folder` does not
// exist (nothing is in it); otherwise why not, naming the folder at fault.
std::string private_folder_problem(const std::string& folder);

// Makes `folder` when missing, for this user only (its parent too when `with_parent`), then
// checks it as private_folder_problem does. Empty on success, otherwise why not.
std::string make_private_folder(const std::string& folder, bool with_parent);

// Opens `folder` once, by descriptor, for whatever is then done in it (listing, connecting,
// watching): its parent and then the folder are opened without following a link and checked
// through the descriptors themselves (owner and mode), so that a folder someone else swaps in
// after the check is never the one used. A missing folder is made for this user only (its
// parent too when `with_parent`); where a folder above that is missing too, nothing can be in
// it: invalid, with `problem` empty. Invalid, with `problem` saying why, otherwise.
UniqueFd open_private_folder(const std::string& folder, bool with_parent, std::string& problem);

}  // namespace kelpira::common
