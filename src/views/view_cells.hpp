// What the operation views show: the column titles of each list and the text of every cell,
// shared by the views and by `kelpira-ctl watch`, which prints the same rows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "records/chemistry_type.hpp"
#include "records/diagnostics_records.hpp"
#include "records/live_sample.hpp"
#include "records/output_record.hpp"
#include "views/rgb.hpp"

namespace kelpira::views {

// A list column: its title and its width in average character widths.
struct ViewColumn {
    std::string title;
    int width;

    bool operator==(const ViewColumn&) const = default;
};

// One list row: its cell texts and the colour they are drawn in.
struct ViewRow {
    std::vector<std::string> cells;
    Rgb colour = kBlack;
    // The last cell's own colour, where it has one (a quality flag's).
    std::optional<Rgb> last_cell_colour;

    bool operator==(const ViewRow&) const = default;
};

// Raw output: 20 columns per live sample. Platform columns read "n/a" while the sample
// carries no platform values.
std::vector<ViewColumn> raw_output_columns();
std::vector<std::string> raw_output_cells(const records::LiveSample& sample);
// Volts of a converter count, "%.5f": 65535 counts read 4.99992.
std::string channel_volts_text(std::uint16_t counts);

// Processed output: 12 columns, the value columns titled after the chemistry.
std::vector<ViewColumn> processed_output_columns();
// Retitles the columns a chemistry names (3, 9, 10, 11; 0 for DIC); the others keep their
// previous titles, so a change to Generic retitles column 3 alone.
void title_processed_columns(std::vector<ViewColumn>& columns, records::ChemistryType chemistry);
std::vector<std::string> processed_output_cells(const records::OutputRecord& record);
// "good", "bad" or "unknown"; "surfaced", "diving", "climbing", "hovering" or "unknown".
std::string validity_text(std::uint8_t validity);
std::string direction_text(std::uint8_t direction);

// Diagnostics: 6 columns; restart lines blue, other errors red, the rest black.
std::vector<ViewColumn> diagnostics_columns();
ViewRow diagnostics_row(const records::DiagnosticsEntry& entry);
// "E", "I", "D", or "?" for any other severity.
std::string severity_text(std::uint8_t severity);

// The restart log: 5 columns.
std::vector<ViewColumn> restart_log_columns();
std::vector<std::string> restart_log_cells(const records::RestartLogEntry& entry);
// "%u (RTC time changed)", "%u (Power On Reset)", "%u (External Reset)", "%u (WDT reset)",
// else "%u (see datasheet)".
std::string reset_cause_text(std::uint16_t cause);

// One row of the task table without its filter boxes: name, stack start, end and top in
// upper-case hexadecimal, "used/size" and "Active" or "Inactive".
struct TaskTexts {
    std::string name;
    std::string stack_start;
    std::string stack_end;
    std::string stack_top;
    std::string stack_usage;
    std::string state;

    bool operator==(const TaskTexts&) const = default;
};
TaskTexts task_texts(const records::TaskDetails& task);

// The titles of a list, in column order.
std::vector<std::string> column_titles(const std::vector<ViewColumn>& columns);

}  // namespace kelpira::views
