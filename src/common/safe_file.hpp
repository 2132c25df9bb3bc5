// Writing files so that a failed or interrupted save never leaves a half-written file.
#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace kelpira::common {

// Writes `path` through `write`: into a temporary file beside it, open to this user alone
// until it is complete, then given the permissions of the file it replaces (or those of a new
// file) and renamed over the target. The path is walked one part at a time by descriptor
// (common/path_walk): a symbolic link of this user or of root is followed, the file it points
// to is replaced and the link stays; a link of anyone else, at any level of the path, is
// refused and `refusal` (when given) names it and its owner. A target that exists and is not
// a regular file is written directly and never replaced when it is the user's own pipe or a
// terminal or device of the user or of root (/dev/null); any other is refused. An existing
// writable file in a folder where no temporary file can be made is written in place once the
// whole text is made and its room reserved. Returns false, leaving any existing file
// untouched, when the file cannot be written or `write` returns false.
bool write_file_safely(const std::string& path, const std::function<bool(std::ostream&)>& write,
                       std::string* refusal = nullptr);

// The same rules for a writer that can only write by path (a library that opens the file
// itself): `write` gets the name of a file to make in a new folder that only this user may
// enter, beside the target and reached through this process's descriptor of it; the file is
// renamed over the target once `write` returns true. A target that is not a regular file is
// refused, as such a writer needs a file it can seek in; where nothing can be made beside a
// writable target, the file is written in such a folder in the system's temporary folder and
// copied in place.
bool write_path_safely(const std::string& path,
                       const std::function<bool(const std::string& temporary)>& write,
                       std::string* refusal = nullptr);

}  // namespace kelpira::common
