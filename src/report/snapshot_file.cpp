// Snapshot files.
#include "report/snapshot_file.hpp"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/safe_file.hpp"
#include "report/snapshot.hpp"

namespace kelpira::report {

bool save_snapshot(const std::string& path, const Json& snapshot) {
    const std::string text = snapshot_text(snapshot);
    return common::write_file_safely(path, [&text](std::ostream& out) {
        out << text;
        return static_cast<bool>(out);
    });
}

Json load_snapshot(const std::string& path) {
    std::error_code error;
    std::ifstream in(path, std::ios::binary);
    // A folder opens as a stream on some systems and then reads as nothing.
    if (!in || std::filesystem::is_directory(path, error)) {
        throw SnapshotFault(path, "cannot read the file");
    }
    std::ostringstream text;
    text << in.rdbuf();  // an empty file sets text's failbit; parsing refuses it
    if (in.bad()) {
        throw SnapshotFault(path, "cannot read the file");
    }
    return parse_snapshot(text.str());
}

}  // namespace kelpira::report
