// The firmware compatibility verdict: what the Compatibility view lists for a sensor's
// firmware version text, each row with its colour.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/firmware_releases.hpp"

namespace kelpira::link {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kGreen{0, 128, 64};
inline constexpr Rgb kGrey{100, 100, 100};

struct VerdictRow {
    std::string text;
    Rgb colour;
    bool operator==(const VerdictRow&) const = default;
};

struct ReleaseRow {
    std::string_view key;
    std::string_view date;
    std::string_view changes;
    Rgb colour;  // black for the releases with the sensor's version number, else grey
};

struct CompatibilityVerdict {
    std::vector<VerdictRow> verdict;  // the upper list, "Compatibility"
    std::vector<ReleaseRow> table;    // the lower list, every release in table order
};

// The view's columns, widths in horizontal dialog base units.
struct ListColumn {
    std::string_view title;
    int width;
};
inline constexpr ListColumn kVerdictColumn{"Compatibility", 80};
inline constexpr std::array<ListColumn, 3> kReleaseColumns{{
    {"Firmware Version", 16},
    {"Date", 12},
    {"Changes", 64},
}};

// What the view shows when GET_FIRMWARE_VERSION fails; the view then closes.
inline constexpr std::string_view kFirmwareUnreadableText =
    "Can't read firmware version from sensor";
inline constexpr std::string_view kFirmwareUnreadableCaption = "Connect";

// The verdict for the sensor's firmware version text as the sensor reported it.
CompatibilityVerdict judge_firmware(std::string_view sensor_version);

// The releases newer than firmware numbered `sensor_number` that carry a warning, newest
// first: the warnings the verdict lists for that firmware.
std::vector<const FirmwareRelease*> warning_releases(std::int64_t sensor_number);

}  // namespace kelpira::link
