// Fixed-precision cells through std::to_chars, which formats exactly without printf's cost.
#include "processing/fixed_cell.hpp"

#include <charconv>

namespace kelpira::processing {

std::string fixed_cell(double value, int decimals) {
    char buffer[400];  // the largest double has 309 digits before the point
    const auto r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, r.ptr);
}

}  // namespace kelpira::processing
