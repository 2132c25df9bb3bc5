// What a processing dialog shows (title, parameter controls, log, result list, "Save"), and
// the pass over raw files that runs off the window's thread and fills it when done.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/form.hpp"
#include "common/prompter.hpp"
#include "processing/dialogs/result_list.hpp"

namespace kelpira::processing {

struct ProcessingView {
    std::string title;
    std::vector<common::FormControl> controls;  // in the order shown
    bool has_process_button = true;             // the multi-file dialog processes as it opens
    ResultList results;
    std::vector<std::string> log;
    bool save_enabled = false;
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
// after a cancel), then show the pass's messages.
void finish_pass(ProcessingView& view, PassOutcome outcome, common::Prompter& prompter);

// Appends one engine log line to a pass's log (lines are at most 255 characters).
void add_log_line(PassOutcome& outcome, std::string line);

}  // namespace kelpira::processing
