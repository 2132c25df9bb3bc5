// Snapshot files: written through the safe writer, read whole and checked.
#pragma once

#include <string>

#include "report/snapshot_json.hpp"

namespace kelpira::report {

// False, leaving any old file untouched, when the file cannot be written.
bool save_snapshot(const std::string& path, const Json& snapshot);

// The checked snapshot in the file; throws SnapshotFault naming the file when it cannot be
// read, or the field that makes it unusable.
Json load_snapshot(const std::string& path);

}  // namespace kelpira::report
