// The firmware version text a firmware image carries, as the sensor finds it when it starts
// the image: the PC compares it with what the restarted sensor reports.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kelpira::link {

// The first firmware version text of the known grammar ("KELPIRA_2_7_20") found in an
// image: the run of letters, digits and underscores from "KELPIRA_", at most 25 characters.
std::optional<std::string> version_text_in(std::span<const std::uint8_t> image);

}  // namespace kelpira::link
