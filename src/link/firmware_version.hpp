// Firmware version texts: "KELPIRA_<major>_<minor>_<patch>[_T<test>]" and the older
// "KELPIRA_<major>_<minor>_T<n>", parsed into one comparable number.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kelpira::link {

struct ParsedFirmwareVersion {
    // major x 1000000 + minor x 1000 + patch; wide enough for any scanned fields.
    std::int64_t number = 0;
    // The test build number, or -1 for a release (a negative field counts as a release too).
    std::int64_t test = -1;

    bool is_test_build() const { return test >= 0; }
    bool operator==(const ParsedFirmwareVersion&) const = default;
};

// Tries "KELPIRA_%d_%d_%d_T%d", "KELPIRA_%d_%d_%d", then "KELPIRA_%d_%d_T%d" (the last field
// standing for the patch of a release), the first form matching all its fields winning. Each
// number is read as a C formatted scan reads %d: leading white space and a sign allowed; text
// after the last field is ignored. No value when no form matches.
std::optional<ParsedFirmwareVersion> ParseFirmwareVersion(std::string_view text);

}  // namespace kelpira::link
