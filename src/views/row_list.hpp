// The rows an operation view's list holds: capped, the oldest row going first, and saved as
// comma-separated text.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "common/prompter.hpp"
#include "views/view_cells.hpp"

namespace kelpira::views {

// Live output lists keep 1001 rows, the diagnostics list 201: a row is dropped only when a
// new one would exceed that.
inline constexpr std::size_t kLiveRowCap = 1001;
inline constexpr std::size_t kDiagnosticsRowCap = 201;

// On the UI thread. The widget mirrors each change: drop_oldest() then push().
class RowList {
  public:
    explicit RowList(std::size_t cap) : cap_(cap) {}

    bool full() const { return rows_.size() >= cap_; }
    void drop_oldest() {
        rows_.pop_front();
        ++dropped_;
    }
    void push(ViewRow row) { rows_.push_back(std::move(row)); }
    // Rewrites the last cell of the row appended `number`th (from 0) since the list was last
    // emptied, and its colour; returns its position, or nothing when the cap dropped it.
    std::optional<std::size_t> revise_last_cell(std::size_t number, std::string text,
                                                std::optional<Rgb> colour);
    // push(), dropping the oldest row first when full.
    void append(ViewRow row);
    void clear() {
        rows_.clear();
        dropped_ = 0;
    }

    std::size_t size() const { return rows_.size(); }
    std::size_t cap() const { return cap_; }
    // Rows dropped for the cap since the list was last emptied: read from the sensor but in
    // the list no more, so a Save cannot write them.
    std::size_t dropped() const { return dropped_; }
    const ViewRow& operator[](std::size_t i) const { return rows_[i]; }

  private:
    std::size_t cap_;
    std::size_t dropped_ = 0;
    std::deque<ViewRow> rows_;
};

// What a list's rows are, for the texts that count them.
struct RowNoun {
    const char* one;
    const char* many;
};

inline constexpr RowNoun kRecordNoun{"record", "records"};
inline constexpr RowNoun kLogEntryNoun{"log entry", "log entries"};

// "1 older record", "499 older records".
std::string older_rows_text(std::size_t count, const RowNoun& noun);

// What a list's Save asks and tells.
struct ListSave {
    const char* caption;  // of the messages
    const char* title;    // of the file chooser
    common::FileFilter filter;
    const char* extension;
    const char* saved;  // "... saved to %s"
    RowNoun noun;
};

inline const ListSave kProcessedOutputSave{.caption = "Save Processed Output",
                                           .title = "Processed Results Output File",
                                           .filter = {"CSV Files (*.csv)", "*.csv"},
                                           .extension = "csv",
                                           .saved = "Processed Output saved to ",
                                           .noun = kRecordNoun};
inline const ListSave kDiagnosticsSave{.caption = "Save Diagnostics",
                                       .title = "Diagnostics Log File",
                                       .filter = {"LOG Files (*.log)", "*.log"},
                                       .extension = "log",
                                       .saved = "Diagnostics saved to ",
                                       .noun = kLogEntryNoun};

// Asks for a file (offering `last_path`, which it updates), then writes the header line and
// one line per row; a cell holding a comma or a quote is quoted. Tells the user where the
// rows went, and how many older rows the cap had already dropped from the list, or that the
// file could not be written; an empty list writes the header alone and says nothing.
void save_rows(common::Prompter& prompter, const ListSave& how, std::string& last_path,
               const std::vector<std::string>& titles, const RowList& rows);

// The file's text: a header line and one line per row, each ended by a line break.
std::string rows_csv(const std::vector<std::string>& titles, const RowList& rows);

}  // namespace kelpira::views
