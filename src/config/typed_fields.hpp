// How the configuration dialogs read the numbers typed into their fields and show the
// numbers of a record: unsigned fields clamped to their range, decimals, fixed-point texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelpira::config {

// Unsigned decimal digits with blanks around them. A value past 32 bits saturates at
// 4294967295 (never wraps); anything else (a sign, letters, nothing) reads as 0.
std::uint32_t typed_unsigned(std::string_view text);

// typed_unsigned limited to low..high: below the range takes `low`, above takes `high`.
std::uint32_t typed_in_range(std::string_view text, std::uint32_t low, std::uint32_t high);

// Decimal digits with an optional sign and blanks around them, as a signed 32-bit number. A
// value beyond that range saturates at its end; anything else reads as 0.
std::int32_t typed_signed(std::string_view text);

// The longest number at the start of the field (after blanks), as strtod reads it; 0 when
// there is none.
float typed_real(std::string_view text);

// "%.Nf" whatever the process locale says.
std::string fixed_text(double value, int decimals);

}  // namespace kelpira::config
