// Writing a processing result list as comma-separated text.
#include "processing/dialogs/result_list.hpp"
#include "processing/dialogs/quality_control.hpp"

#include <ctime>
#include <vector>

#include "common/csv_cell.hpp"
#include "common/safe_file.hpp"
#include "common/version.hpp"
#include "processing/clock_correction.hpp"
#include "processing/netcdf_library.hpp"
#include "processing/netcdf_writer.hpp"

namespace kelpira::processing {

common::FileRequest processed_results_request() {
    common::FileRequest r;
    r.title = "Processed Results Output File";
    r.filters = {
        {"CSV Files (*.csv)", "*.csv"}, {"NetCDF (*.nc)", "*.nc"}, {"All Files (*.*)", "*.*"}};
    r.default_extension = "csv";
    r.prompt_overwrite = true;
    return r;
}

std::string unlisted_results_text(std::size_t unlisted) {
    return std::to_string(unlisted) +
           " older results are not listed or saved; kelpira-process writes them all.";
}

std::vector<ResultColumn> shown_columns(const ResultList& list) {
    std::vector<ResultColumn> columns = list.columns;
    if (list.corrected_at && *list.corrected_at <= columns.size()) {
        constexpr int kTimeWidth = 15;
        columns.insert(columns.begin() + static_cast<std::ptrdiff_t>(*list.corrected_at),
                       {std::string(kCorrectedTimeColumn), kTimeWidth});
    }
    if (list.flagged) {
        columns.push_back({std::string(kQualityColumnTitle), 40});
    }
    return columns;
}

std::string result_list_text(const ResultList& list) {
    std::string out;
    common::append_csv_line(out, shown_columns(list), &ResultColumn::title);
    for (const auto& row : list.rows) {
        common::append_csv_line(out, row);
    }
    return out;
}

bool save_result_list(const ResultList& list, common::Prompter& prompter,
                      const std::function<std::optional<NetcdfMetadata>()>& ask_metadata) {
    const auto path = prompter.choose_save_file(processed_results_request());
    if (!path) {
        return false;
    }
    const bool netcdf = path->ends_with(".nc") || path->ends_with(".NC");
    bool written = false;
    std::vector<std::string> warnings;
    if (netcdf) {
        // Asked before the metadata form: a library that cannot be loaded is the reason to give.
        if (std::string why; !netcdf_loaded(why)) {
            prompter.message("Save Processed Output", why);
            return false;
        }
        NetcdfDescription description = list.source;
        if (ask_metadata) {
            const auto metadata = ask_metadata();
            if (!metadata) {
                return false;
            }
            apply_netcdf_metadata(*metadata, description);
        }
        description.history =
            "Kelpira " + std::string(common::kProgramVersion) + ", Save of a processing dialog";
        description.created = std::time(nullptr);
        for (const auto& column : list.columns) {
            description.column_titles.push_back(column.title);
        }
        const std::vector<NetcdfRow> rows(list.records.begin(), list.records.end());
        std::string ignored;  // the message names the file, as for CSV
        written = write_netcdf_file(*path, description, rows, ignored, &warnings);
    } else {
        const std::string text = result_list_text(list);
        written = common::write_file_safely(*path, [&text](std::ostream& out) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            return static_cast<bool>(out);
        });
    }
    if (!written) {
        prompter.message("Save Processed Output", "Unable to open " + *path + " for write");
        return false;
    }
    if (!list.rows.empty()) {
        std::string said = "Processed Output saved to " + *path;
        if (list.unlisted > 0) {
            said += "\n" + unlisted_results_text(list.unlisted);
        }
        for (const auto& warning : warnings) {
            said += "\n" + warning;
        }
        prompter.message("Save Processed Output", said);
    }
    return true;
}

}  // namespace kelpira::processing
