// The configuration log's actions: saving the report, copying lines, exporting a snapshot.
#include "report/config_log_controller.hpp"

#include <algorithm>

#include "common/safe_file.hpp"
#include "report/snapshot.hpp"
#include "report/snapshot_file.hpp"

namespace kelpira::report {

void save_report(const ConfigReport& report, common::Prompter& prompter) {
    common::FileRequest request;
    request.title = "Save Sensor Report File";
    request.filters = {{"TXT Files (*.txt)", "*.txt"}, {"All Files (*.*)", "*.*"}};
    request.default_extension = "txt";
    request.initial_name = default_report_file_name(report);
    request.prompt_overwrite = true;
    const auto path = prompter.choose_save_file(request);
    if (!path) {
        return;
    }
    const bool ok = common::write_file_safely(*path, [&report](std::ostream& out) {
        for (const auto& line : report.lines) {
            out << line << '\n';
        }
        return static_cast<bool>(out);
    });
    if (!ok) {
        prompter.message("Save", "Couldn't write to file");
    }
}

std::string copy_text(const std::vector<std::string>& lines, std::vector<std::size_t> selected) {
    std::sort(selected.begin(), selected.end());
    std::string text;
    for (const auto i : selected) {
        if (i < lines.size()) {
            text += lines[i] + "\r\n";
        }
    }
    return text;
}

std::string default_snapshot_file_name(const ConfigReport& report) {
    return file_name_stem(report) + "_snapshot.json";
}

bool export_snapshot(link::SensorLink& link, const ConfigReport& report,
                     common::Prompter& prompter) {
    common::FileRequest request;
    request.title = kExportSnapshotTitle;
    request.filters = {{"JSON Files (*.json)", "*.json"}, {"All Files (*.*)", "*.*"}};
    request.default_extension = "json";
    request.initial_name = default_snapshot_file_name(report);
    request.prompt_overwrite = true;
    const auto path = prompter.choose_save_file(request);
    if (!path) {
        return false;
    }
    const auto read = read_snapshot(link);
    if (!read.snapshot) {
        prompter.message(kExportSnapshotTitle, "Unable to export the snapshot: " + read.failure);
        return false;
    }
    if (!save_snapshot(*path, *read.snapshot)) {
        prompter.message(kExportSnapshotTitle, "Couldn't write to file");
        return false;
    }
    return true;
}

}  // namespace kelpira::report
