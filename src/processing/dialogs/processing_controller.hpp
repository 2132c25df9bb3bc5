// What a processing dialog shows (title, parameter controls, log, result list, "Save"), and
// the pass over raw files that runs off the window's thread and fills it when done.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/form.hpp"
#include "common/prompter.hpp"
#include "processing/clock_correction.hpp"
#include "processing/dialogs/result_list.hpp"
#include "quality/qc_parameters_file.hpp"

namespace kelpira::processing {

struct ProcessingView {
    std::string title;
    std::vector<common::FormControl> controls;  // in the order shown
    bool has_process_button = true;             // the multi-file dialog processes as it opens
    ResultList results;
    std::vector<std::string> log;
    bool save_enabled = false;
    // "Clock log...": the log the next passes correct result times with.
    std::optional<ClockLog> clock_log;
    // "Quality Control...": the parameters the next passes flag their results with, and
    // where they came from.
    std::optional<quality::QcParametersFile> quality;
    std::string quality_source;
};

struct PassMessage {
    std::string caption;
    std::string text;
};

// What a running pass may ask of whoever runs it; both are called on the pass's thread.
struct PassControl {
    std::function<bool()> cancelled;
    // Bytes of input read so far and in total (total 0 when not known).
    std::function<void(std::uint64_t done, std::uint64_t total)> progress;
};

// Everything a pass produced. It is built on the pass's thread and handed over whole.
struct PassOutcome {
    ResultRows rows{kResultRowCap};
    ResultRecords records{kResultRowCap};  // the results behind `rows`
    NetcdfDescription source;              // the chemistry and the files read
    std::vector<std::string> log;
    std::vector<PassMessage> messages;  // shown in order once the list is filled
    bool save_allowed = false;          // false after a stream error
    bool cancelled = false;
};

// A pass with everything it needs captured by value: it may run on any thread and touches
// nothing of the dialog.
using PassJob = std::function<PassOutcome(const PassControl&)>;

// The log line a cancelled pass ends with.
inline constexpr const char* kPassCancelledText = "Processing cancelled by the user";

// "Process" pressed: clear the log and the result list and disable "Save".
void begin_pass(ProcessingView& view);

// The pass is over: fill the list and the log, enable "Save" when the pass allows it (never
// after a cancel), then show the pass's messages. With a clock log, each result's time is
// corrected first ("Time (UTC, corrected)" after the time columns, the NetCDF file's `time`),
// and the log says what could not be corrected as between records.
void finish_pass(ProcessingView& view, PassOutcome outcome, common::Prompter& prompter);

// "Clock log...": asks for a clock log (kelpira-ctl clock --log, or the clock dialog's "Record
// Offset...") whose offsets correct the times of the next passes; cancelling the chooser
// stops correcting. A log that cannot be read or is refused is said, naming the line, under
// "Clock Log", and times are then not corrected. The dialog's log says which it is.
void choose_clock_log(ProcessingView& view, common::Prompter& prompter);

// Appends one engine log line to a pass's log (lines are at most 255 characters).
void add_log_line(PassOutcome& outcome, std::string line);

}  // namespace kelpira::processing
