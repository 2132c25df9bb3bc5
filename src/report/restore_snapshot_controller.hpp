// "Restore Snapshot..." without its widgets: choosing the file, the dry run shown before
// anything is written (with the question when the chemistries differ), and the restore.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/prompter.hpp"
#include "link/sensor_link.hpp"
#include "report/snapshot.hpp"

namespace kelpira::report {

inline constexpr const char* kRestoreSnapshotTitle = "Restore Snapshot";

struct RestorePlan {
    Json snapshot;
    ImportOptions options;  // dry_run is set only for the preview
    ImportResult preview;   // the dry run's outcome per record
};

// Asks for a snapshot file and makes the dry run. Nothing when the user cancels, or after a
// message when the file cannot be used or the sensor refuses. When the snapshot's chemistry
// differs from the sensor's, the user is asked whether to change it (the plan then forces).
std::optional<RestorePlan> plan_restore(link::SensorLink& link, common::Prompter& prompter);

// The dry run again, after the user changed whether the identity is written.
void replan_restore(link::SensorLink& link, RestorePlan& plan, bool include_identity);

// After the user confirmed the preview: writes, then shows every record's outcome. Returns
// whether every record is now as the snapshot has it.
bool run_restore(link::SensorLink& link, const RestorePlan& plan, common::Prompter& prompter);

}  // namespace kelpira::report
