// What a host platform told the sensor over its serial line: the values the sensor then
// reports as the platform's instead of its own model's.
#pragma once

#include <cstdint>
#include <optional>

#include "records/live_sample.hpp"
#include "records/platform_state.hpp"

namespace kelpira::virtual_sensor {

// Platform direction codes of the live platform state.
inline constexpr std::uint8_t kPlatformDown = 1;
inline constexpr std::uint8_t kPlatformUp = 2;

// Fields a protocol does not carry stay unset, and the model's values show through there.
struct PlatformReport {
    std::uint32_t time = 0;  // sensor clock when it arrived, seconds since 1970-01-01 UTC
    float depth = 0;         // metres
    std::optional<std::uint8_t> direction;
    std::optional<float> salinity;     // PSU
    std::optional<float> temperature;  // degrees Celsius
    std::int32_t p1 = 0;
    std::int32_t p2 = 0;
    std::int32_t p3 = 0;
};

void apply_platform_report(const PlatformReport& report, records::LiveSample& sample);
void apply_platform_report(const PlatformReport& report, records::PlatformState& state);

}  // namespace kelpira::virtual_sensor
