// The texts the configuration report is made of: its number formats, written without the
// process locale, and the sections' shared line builder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/sensor_command.hpp"

namespace kelpira::report {

// "%.Nf" as the dialogs' fields show it (scientific where the fixed text would be too wide or
// show a value as zero: common::field_text), "%g" and "%u"/"%d" as the C locale prints them.
std::string fixed(double value, int decimals);
std::string general(double value);
std::string num(std::int64_t value);

// A start state: its number, or "disabled" for 255.
std::string state_text(std::uint8_t state);

// " (status=%d)" after an error line's sentence.
std::string with_status(std::string_view sentence, link::CommandResult status);

// The text of `value` in a (value, text) table, or nothing.
template <typename Table, typename Value>
const std::string_view* text_of(const Table& table, Value value) {
    for (const auto& entry : table) {
        if (entry.value == value) {
            return &entry.text;
        }
    }
    return nullptr;
}

using Lines = std::vector<std::string>;

}  // namespace kelpira::report
