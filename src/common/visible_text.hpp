// The one representation of text a sensor or a file sent, wherever it reaches a terminal, a
// window or a file that must be UTF-8 (JSON, CSV, NetCDF): a sensor name holding control
// sequences must not retitle or clear the user's terminal, and a name that is not UTF-8 must
// neither be garbled nor stop a UTF-8 writer. The form is reversible, so a file that stores it
// (a configuration snapshot) gives back the exact bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelpira::common {

// `text` with each control character written as a visible escape: "\t", "\n", "\r", "\e"
// and the like, "\xNN" for the others (C1 controls and bytes that are not UTF-8 included),
// and "\" itself as "\\". Every other character, UTF-8 ones too, stays as it is.
std::string visible_text(std::string_view text);

// The bytes a visible_text stands for; nothing when `text` holds an escape visible_text
// never writes (a lone "\", "\q", "\x4" ...).
std::optional<std::string> text_from_visible(std::string_view text);

}  // namespace kelpira::common
