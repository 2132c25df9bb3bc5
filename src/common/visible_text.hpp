// Text a sensor or a file sent, made safe to print on a terminal: a sensor name holding
// control sequences must not retitle or clear the user's terminal.
#pragma once

#include <string>
#include <string_view>

namespace kelpira::common {

// `text` with each control character written as a visible escape: "\t", "\n", "\r", "\e"
// and the like, "\xNN" for the others (C1 controls and bytes that are not UTF-8 included).
// Every other character, UTF-8 ones too, stays as it is.
std::string visible_text(std::string_view text);

}  // namespace kelpira::common
