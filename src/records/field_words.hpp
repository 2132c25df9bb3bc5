// The words the configuration report writes for a field's value: a list entry's report word or
// its text, the row's text for a value no entry has, a check box's two words.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "records/field_table.hpp"

namespace kelpira::records {

// A check box's words in the report, for 0 and for any other value.
inline constexpr std::array<ListEntry, 2> kEnabledWords{{{0, "disabled"}, {1, "enabled"}}};
inline constexpr std::array<ListEntry, 2> kOnOffWords{{{0, "OFF"}, {1, "ON"}}};

// The report's word for a list's or a check box's value: the entry's report word, else its
// text; for a value no entry has, the row's `otherwise` with "%u" the value, else "unknown (%u)".
// A check box reads any value but 0 as its second word.
std::string value_word(const FieldSpec& s, std::uint32_t value);

}  // namespace kelpira::records
