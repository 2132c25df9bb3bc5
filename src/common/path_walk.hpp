// Reaching a file one part of its path at a time, by descriptor: a folder someone else swaps
// or a link someone else plants between the check and the use is never taken.
#pragma once

#include <sys/types.h>

#include <string>

#include "common/unique_fd.hpp"

namespace kelpira::common {

struct WalkedPath {
    UniqueFd folder;    // the folder that holds the file (an O_PATH descriptor)
    std::string name;   // the file's name in `folder`: not a link; it may not exist yet
    std::string shown;  // the path as reached, links followed, for messages
};

// Walks `path` with openat and O_NOFOLLOW, following a symbolic link (at any level, the last
// part too) only when it belongs to this user or to root: one that belongs to anyone else may
// have been planted to make this user write where they did not mean to. False when the walk
// fails (errno says why) or a link is refused (`refusal` then names it and its owner).
bool walk_to_file(const std::string& path, WalkedPath& walked, std::string& refusal);

// The user's login name, or "uid N" when the system has none.
std::string user_name(uid_t uid);

}  // namespace kelpira::common
