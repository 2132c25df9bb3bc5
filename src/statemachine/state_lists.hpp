// The (value, text) tables behind the editor's list controls, in the order the editor lists
// them. The JSON form of a program names enumerations by these texts too.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kelpira::statemachine {

struct ListEntry {
    std::uint16_t value;
    std::string_view text;
};

using ListTable = std::span<const ListEntry>;

inline constexpr ListEntry kMicrostepList[] = {{0, "16"}, {1, "8"}, {2, "4"}, {3, "2"}, {4, "1"}};
inline constexpr ListEntry kPumpDirectionList[] = {{0, "Inject"}, {1, "Withdraw"}};
inline constexpr ListEntry kPumpStopList[] = {
    {0, "Hall Sensors"}, {2, "Timeout"}, {1, "Step Count"}};
inline constexpr ListEntry kLedList[] = {{0xFFFF, "On"}, {0, "Off"}};
inline constexpr ListEntry kStateSwitchList[] = {{1, "On"}, {2, "Off"}};
inline constexpr ListEntry kCounterModeList[] = {{0, "Inc Only"}, {1, "Inc & Test"}, {2, "Reset"}};
inline constexpr ListEntry kDiveLevelList[] = {
    {0, "No Trigger"}, {1, "Below P1"}, {2, "Below P2"}, {3, "Below P3"}};
inline constexpr ListEntry kClimbLevelList[] = {
    {0, "No Trigger"}, {1, "Above P1"}, {2, "Above P2"}, {3, "Above P3"}};
// The delay radio buttons.
inline constexpr ListEntry kDelayModeList[] = {{0, "Wait For This Many Seconds"},
                                               {1, "Wait For Next Measurement Time"}};
inline constexpr ListEntry kPowerModeList[] = {
    {2, "Idle"}, {0, "Operating"}, {1, "Sleeping"}, {3, "Hibernating"}};

// The text of `value` in `table`, or nothing when the table does not list it.
std::optional<std::string_view> list_text(ListTable table, std::uint16_t value);
// The value listed with `text` (exact match), or nothing.
std::optional<std::uint16_t> list_value(ListTable table, std::string_view text);
// The row of `value` in the table (the control's selection), or nothing.
std::optional<std::size_t> list_row(ListTable table, std::uint16_t value);
// The value at `row`; a selection out of range stores 0, as the editor does.
std::uint16_t list_value_at(ListTable table, std::optional<std::size_t> row);

}  // namespace kelpira::statemachine
