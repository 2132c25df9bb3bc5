// Reading the sensor's replies field by field the way the C scan functions read them, for the
// few conversions the platform protocols use.
#pragma once

#include <cstdint>
#include <string_view>
#include <variant>
#include <vector>

namespace kelpira::host_platform {

using ScannedField = std::variant<std::int32_t, std::uint32_t, double>;

// Scans `text` with `format`, which may hold "%d", "%u", "%x" (all 32-bit, wrapping as the C
// library's conversions do), "%lf", white space (any amount of white space, even none) and
// other characters (matched exactly). Returns the fields converted before the first mismatch,
// as the count a scan function returns. %x gives an unsigned field.
std::vector<ScannedField> scan_reply(std::string_view text, std::string_view format);

}  // namespace kelpira::host_platform
