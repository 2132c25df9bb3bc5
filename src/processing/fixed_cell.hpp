// Result cells with a fixed number of decimals.
#pragma once

#include <string>

namespace kelpira::processing {

// `value` with `decimals` digits after the point (0..60), the text printf's "%.*f" writes:
// correctly rounded, "-0.000" for negative zero, "inf", "-inf", "nan" and "-nan".
std::string fixed_cell(double value, int decimals);

}  // namespace kelpira::processing
