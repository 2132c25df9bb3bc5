// Every firmware release known to this program, newest first: version key, release date
// (dd/mm/yyyy), change note and, for some, a warning for firmware older than that release.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "common/version.hpp"

namespace kelpira::link {

// The version of this program, as the compatibility verdict names it.
inline const std::string_view& kGuiVersion = common::kProgramVersion;

struct FirmwareRelease {
    std::string_view key;
    std::string_view date;
    std::string_view changes;
    std::optional<std::string_view> warning;
};

// The first row is the latest firmware this program supports.
extern const std::array<FirmwareRelease, 95> kFirmwareReleases;

}  // namespace kelpira::link
