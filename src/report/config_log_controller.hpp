// "Sensor Configuration Log" without its widgets: the report's lines, "Save...", the
// clipboard text of "Copy", and "Export Snapshot...".
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/prompter.hpp"
#include "link/sensor_link.hpp"
#include "report/config_report.hpp"

namespace kelpira::report {

inline constexpr const char* kReportLogTitle = "Sensor Configuration Log";
inline constexpr const char* kExportSnapshotTitle = "Export Snapshot";

// "Save...": asks for the file ("Save Sensor Report File", default "<name>_config.log") and
// writes every line followed by a line end; "Couldn't write to file" (caption "Save") when it
// cannot.
void save_report(const ConfigReport& report, common::Prompter& prompter);

// "Copy": the lines at `selected`, in list order, each followed by CR LF.
std::string copy_text(const std::vector<std::string>& lines, std::vector<std::size_t> selected);

// "<name>_snapshot.json".
std::string default_snapshot_file_name(const ConfigReport& report);

// "Export Snapshot...": asks for the file, reads every record and writes the snapshot. False
// when nothing was written (cancelled, after a message otherwise).
bool export_snapshot(link::SensorLink& link, const ConfigReport& report,
                     common::Prompter& prompter);

}  // namespace kelpira::report
