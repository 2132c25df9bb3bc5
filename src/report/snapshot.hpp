// Configuration snapshots: every configuration record the report reads, as a JSON document
// by field name with the lists' texts, plus the sensor's identity and firmware version for
// information; exported from one sensor and imported into the same or another one.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/sensor_link.hpp"
#include "report/snapshot_json.hpp"

namespace kelpira::report {

// The document's first field and the only format version there is.
inline constexpr const char* kSnapshotFormatKey = "kelpira_snapshot";
inline constexpr int kSnapshotFormat = 1;

struct SnapshotRead {
    std::optional<Json> snapshot;  // nothing when a record could not be read
    std::string failure;           // then: which, with the read's result
};

// Reads every record. A sensor without a readable PMT record, or whose chemistry is not DIC,
// gives a snapshot without "pmt_config" or "dic_config"; an unreadable identity leaves it out.
SnapshotRead read_snapshot(link::SensorLink& link);

// The document as the file holds it: two-space indentation, a line end at the end.
std::string snapshot_text(const Json& snapshot);

// Reads a snapshot and checks every field of every record, so that a bad one is refused
// before anything is written. Throws SnapshotFault naming the field.
Json parse_snapshot(std::string_view text);
void check_snapshot(const Json& snapshot);

struct ImportOptions {
    bool dry_run = false;           // write nothing; say what would change
    bool include_identity = false;  // also write the sensor's name and serial number
    bool force = false;             // go on when the snapshot is for another chemistry
};

// failed: the write was refused or lost its answer; unconfirmed: written, the read-back
// failed; not_tried: an earlier write found the sensor gone; not_written: the identity, left
// out on purpose.
enum class Outcome {
    unchanged,
    written,
    would_change,
    still_differs,
    failed,
    not_written,
    unconfirmed,
    not_tried
};

struct FieldChange {
    std::string field;
    std::string sensor;    // the sensor's value, as the snapshot would write it
    std::string snapshot;  // the snapshot's value
};

struct RecordOutcome {
    std::string record;  // "platform defaults", "thermistor 1", ...
    Outcome outcome = Outcome::unchanged;
    std::vector<FieldChange> changes;  // would_change, still_differs
    std::string detail;                // failed, unconfirmed: what happened; would_change: a note
    link::CommandResult status = link::kResultSuccess;  // failed, unconfirmed: the result
};

struct ImportResult {
    std::optional<std::string> refusal;  // nothing was read or written past the check
    std::vector<RecordOutcome> records;

    // Every record is as the snapshot has it, or would be after a dry run.
    bool ok() const;
    // True when the refusal is that the chemistries differ (force goes past it).
    bool chemistry_differs = false;
};

// Writes each record with its set command when it differs from the sensor's, reads it back
// and says per record what happened. Records go in order: chemistry first, so that the
// processing parameters match the chemistry they are written for.
ImportResult import_snapshot(link::SensorLink& link, const Json& snapshot,
                             const ImportOptions& options);

// "platform defaults: unchanged", "schedule: would change interval_count 1 -> 2", ...
std::string outcome_text(const RecordOutcome& outcome);
std::vector<std::string> outcome_lines(const ImportResult& result);

}  // namespace kelpira::report
