// Configuration snapshots: a file as `config import` and Restore Snapshot read it, every field
// of every record checked before anything would be written.
#include <string>
#include <string_view>

#include "fuzz_inputs.hpp"
#include "report/snapshot.hpp"
#include "report/snapshot_json.hpp"

namespace kelpira::fuzz {

int snapshot_input(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const auto snapshot = report::parse_snapshot(text);
        report::check_snapshot(snapshot);
        (void)report::snapshot_text(snapshot);
    } catch (const report::SnapshotFault&) {
        // A refused snapshot names its field; that is the answer, not a fault.
    }
    return 0;
}

}  // namespace kelpira::fuzz
