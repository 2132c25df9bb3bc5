// The "State Machine Definition" table: every state in order (Definition) or a simulated walk
// through the program (Dry Run), its row texts, the dry run's end message and the summary
// file its Save writes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "statemachine/state_machine_image.hpp"

namespace kelpira::statemachine {

inline constexpr std::size_t kSummaryColumnCount = 18;
inline constexpr std::size_t kDryRunRowLimit = 1000;

struct SummaryColumn {
    std::string_view title;
    int width_dlu;  // width in dialog units
};

inline constexpr std::array<SummaryColumn, kSummaryColumnCount> kSummaryColumns{{
    {"state", 5},
    {"mode", 8},
    {"valves open", 27},
    {"pump", 27},
    {"leds on", 9},
    {"pd5V", 5},
    {"rec", 4},
    {"delay", 6},
    {"default next", 11},
    {"counter1 trigger", 24},
    {"counter2 trigger", 24},
    {"counter3 trigger", 24},
    {"counter4 trigger", 24},
    {"counter5 trigger", 24},
    {"counter6 trigger", 24},
    {"diving depth trigger", 24},
    {"climbing depth trigger", 24},
    {"pump timeout trigger", 24},
}};
// "Shrink Counter && Trigger Columns" sets the widths of columns first..last (inclusive) to 0.
inline constexpr std::size_t kShrinkFirstColumn = 10;
inline constexpr std::size_t kShrinkLastColumn = 16;

inline constexpr std::string_view kDryRunCaption = "State Machine Dry Run";
inline constexpr std::string_view kSummarySaveCaption = "Save State Machine Summary";

enum class SummaryMode { definition, dry_run };

// The "Mode" list.
inline constexpr std::array<std::string_view, 2> kSummaryModeTexts{"Definition", "Dry Run"};

// What "Go" is asked to do; numbers as typed in the two edits.
struct SummaryRequest {
    SummaryMode mode = SummaryMode::definition;
    std::uint32_t start_state = 0;
    std::optional<std::uint32_t> pump_timeout_state;  // when "Simulate Pump Timeout" is ticked
};

using SummaryRow = std::array<std::string, kSummaryColumnCount>;

struct Summary {
    std::string title;  // "State Machine Dry Run (12 states)"
    std::vector<SummaryRow> rows;
    // Dry Run only: the text of the message box captioned kDryRunCaption.
    std::optional<std::string> end_message;
};

// The texts of one row for state `index`, with the counter values the walk holds on entering
// it (Dry Run shows the value each counter reaches when the state is left).
SummaryRow summary_row(const StateRecord& s, std::size_t index, SummaryMode mode,
                       const std::array<std::uint8_t, kCounterCount>& counters);

// Builds the table as "Go" does.
Summary build_summary(const StateMachineImage& image, const SummaryRequest& request);

// The summary file: the column titles, then every row, as CSV lines (a cell holding a comma,
// a quote or a line break is quoted), each ending in a line feed. UTF-8 ("µs" in the pump
// column).
std::string summary_text(const Summary& summary);

// Writes the summary through the safe writer; false when the file cannot be written.
bool save_summary(const std::string& path, const Summary& summary);
std::string summary_saved_message(const std::string& path);        // "Summary saved to %s"
std::string summary_open_failed_message(const std::string& path);  // "Unable to open %s ..."

}  // namespace kelpira::statemachine
