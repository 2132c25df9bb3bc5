// The rows an operation view's list holds: capped, the oldest row going first, and saved as
// comma-separated text.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "views/view_cells.hpp"
#include "common/prompter.hpp"

namespace kelpira::app {

// Live output lists keep 1001 rows, the diagnostics list 201: a row is dropped only when a
// new one would exceed that.
inline constexpr std::size_t kLiveRowCap = 1001;
inline constexpr std::size_t kDiagnosticsRowCap = 201;

// On the UI thread. The widget mirrors each change: drop_oldest() then push().
class RowList {
  public:
    explicit RowList(std::size_t cap) : cap_(cap) {}

    bool full() const { return rows_.size() >= cap_; }
    void drop_oldest() { rows_.pop_front(); }
    void push(ViewRow row) { rows_.push_back(std::move(row)); }
    // push(), dropping the oldest row first when full.
    void append(ViewRow row);
    void clear() { rows_.clear(); }

    std::size_t size() const { return rows_.size(); }
    std::size_t cap() const { return cap_; }
    const ViewRow& operator[](std::size_t i) const { return rows_[i]; }

  private:
    std::size_t cap_;
    std::deque<ViewRow> rows_;
};

// What a list's Save asks and tells.
struct ListSave {
    const char* caption;  // of the messages
    const char* title;    // of the file chooser
    common::FileFilter filter;
    const char* extension;
    const char* saved;  // "... saved to %s"
};

inline const ListSave kProcessedOutputSave{"Save Processed Output",
                                           "Processed Results Output File",
                                           {"CSV Files (*.csv)", "*.csv"},
                                           "csv",
                                           "Processed Output saved to "};
inline const ListSave kDiagnosticsSave{"Save Diagnostics",
                                       "Diagnostics Log File",
                                       {"LOG Files (*.log)", "*.log"},
                                       "log",
                                       "Diagnostics saved to "};

// Asks for a file (offering `last_path`, which it updates), then writes the header line and
// one line per row; a cell holding a comma or a quote is quoted. Tells the user where the
// rows went, or that the file could not be written; an empty list writes the header alone
// and says nothing.
void save_rows(common::Prompter& prompter, const ListSave& how, std::string& last_path,
               const std::vector<std::string>& titles, const RowList& rows);

// The file's text: a header line and one line per row, each ended by a line break.
std::string rows_csv(const std::vector<std::string>& titles, const RowList& rows);

}  // namespace kelpira::app
