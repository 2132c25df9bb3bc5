// A typed decimal times 1000, truncated, computed on the text: "1.001" is 1001 thousandths,
// where the double 1.001 times 1000 is 1000.999... and would truncate to 1000.
#pragma once

#include <cstdint>
#include <string_view>

namespace kelpira::common {

// The longest numeric prefix of `text` ("%lf" acceptance) times 1000, truncated toward zero.
// Plain decimals ("-12.3456", "  7", ".5") are read digit by digit, exactly; other forms
// (exponents, hexadecimal, "inf", "nan") through the double. No number gives 0. The result
// is a whole number as a double (or +-infinity, or NaN); callers clamp it to their field.
double decimal_milli(std::string_view text);

// decimal_milli limited to an unsigned 32-bit field: negatives and NaN give 0, values past
// the top give 4294967295.
std::uint32_t decimal_milli_u32(std::string_view text);

}  // namespace kelpira::common
