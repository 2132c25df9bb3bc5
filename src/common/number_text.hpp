// Numbers as the dialogs, the views and the result tables show them, the same whatever the
// process locale says: byte for byte what printf's "%.Nf" and "%g" write.
#pragma once

#include <cstddef>
#include <string>

namespace kelpira::common {

std::string fixed_text(double value, int decimals);
std::string general_text(double value);

// A figure as the user would write it: the shortest decimal that reads back to `value`, never
// with an exponent ("90", "0.125", "1000000000").
std::string plain_text(double value);

// The widest fixed-format text a dialog's field shows whole at its usual width.
inline constexpr std::size_t kFieldChars = 14;

// A stored number as a dialog's field or the report shows it: fixed_text, unless that text is
// wider than kFieldChars (a narrow field would show only its tail, "4516925440.00000" for
// -3.4e38) or shows a value that is not zero as zero ("0.00000" for 1e-7): then in scientific
// notation with as many decimals, "%.*e" ("-3.40282e+38", "1.00000e-07").
std::string field_text(double value, int decimals);

}  // namespace kelpira::common
