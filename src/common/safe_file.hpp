// Writing files so that a failed or interrupted save never leaves a half-written file.
#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace kelpira::common {

// Writes `path` through `write`: into a temporary file beside it, flushed and renamed over the
// target only when complete. A symbolic link is followed: the file it points to is replaced,
// the link stays; but a link that belongs to another user, in a folder anyone may write and
// only owners may delete from (such as /tmp), is refused, and `refusal` (when given) says so,
// naming the link and its owner. A target that exists and is not a regular file (/dev/null,
// a pipe, a terminal) is written directly and never replaced. An existing writable file in a
// folder where no temporary file can be made is written in place, once the whole text is made.
// Returns false, leaving any existing file untouched, when the file cannot be written or
// `write` returns false.
bool write_file_safely(const std::string& path, const std::function<bool(std::ostream&)>& write,
                       std::string* refusal = nullptr);

// The same rules for a writer that can only write by path (a library that opens the file
// itself): `write` gets the name of a new, empty temporary file beside the target, renamed over
// it once `write` returns true. A target that is not a regular file is refused, as such a
// writer needs a file it can seek in; where no temporary file can be made beside a writable
// target, the file is written in the system's temporary folder and copied in place.
bool write_path_safely(const std::string& path,
                       const std::function<bool(const std::string& temporary)>& write,
                       std::string* refusal = nullptr);

}  // namespace kelpira::common
