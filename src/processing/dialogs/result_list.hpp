// The result list of a processing dialog (at most 5001 rows, oldest dropped first) and its
// "Save" as comma-separated text.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/capped_list.hpp"
#include "common/prompter.hpp"
#include "processing/dialogs/netcdf_metadata.hpp"
#include "processing/netcdf_input.hpp"

namespace kelpira::processing {

// Once the list holds more than 5000 rows, the oldest is deleted before each new one.
inline constexpr std::size_t kResultRowCap = 5001;

using ResultCells = std::vector<std::string>;
using ResultRows = common::CappedList<ResultCells>;
// The results behind the rows, for a Save as NetCDF: capped with them.
using ResultRecords = common::CappedList<NetcdfRow>;

struct ResultColumn {
    std::string title;
    int width_units;  // dialog units, as the list was laid out
};

struct ResultList {
    std::vector<ResultColumn> columns;
    ResultRows rows{kResultRowCap};
    std::size_t unlisted = 0;  // older results of the last pass that did not fit
    ResultRecords records{kResultRowCap};
    NetcdfDescription source;  // the chemistry and the files the results came from
    // Where the rows carry "Time (UTC, corrected)", after the time columns, when the last pass
    // corrected the times with a clock log; `columns` never holds it.
    std::optional<std::size_t> corrected_at;
    // The rows end in the aggregate quality flag ("QC Flag") when the last pass flagged them.
    bool flagged = false;
};

// The columns as listed and saved: `columns` with the corrected time where the rows have it,
// and "QC Flag" last when they are flagged.
std::vector<ResultColumn> shown_columns(const ResultList& list);

// "N older results are not listed or saved; kelpira-process writes them all."
std::string unlisted_results_text(std::size_t unlisted);

// The save dialog of every processing result list.
common::FileRequest processed_results_request();

// The file text: a line of the column titles, then one line per row, cells joined by ","
// (quoted as common::csv_cell says), every line ending in a line feed.
std::string result_list_text(const ResultList& list);

// "Save": asks for the file (CSV, or NetCDF for a name ending in ".nc", the same file
// kelpira-process --format netcdf writes), writes it through the safe writer and says how it
// went:
// "Processed Output saved to %s" when the list held a row (followed by the unlisted results
// text when older results did not fit), "Unable to open %s for write" when the file could not
// be written (caption "Save Processed Output"). Before a NetCDF file is written,
// `ask_metadata` (when given) shows the "NetCDF metadata" form: nothing from it (Cancel) saves
// nothing; what it returns goes into the file, and what keeps the file from being complete (no
// position) follows the saved text, one line each. Returns whether it was written.
bool save_result_list(const ResultList& list, common::Prompter& prompter,
                      const std::function<std::optional<NetcdfMetadata>()>& ask_metadata = {});

}  // namespace kelpira::processing
