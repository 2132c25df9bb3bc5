// The 36-byte answer of GET_PLATFORM_STATE: the host platform's current values.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kelpira::records {

struct PlatformState {
    static constexpr std::size_t size = 36;

    std::array<std::uint8_t, 3> leading{};  // kept whole, not interpreted
    float salinity = 0;                     // PSU
    float temperature = 0;                  // degrees Celsius
    float dissolved_oxygen = 0;             // ml/l
    float depth = 0;                        // metres
    std::uint8_t direction = 0;             // platform direction code, shown as a number
    std::array<std::uint8_t, 4> middle{};   // kept whole, not interpreted
    std::int32_t p1 = 0;
    std::int32_t p2 = 0;
    std::int32_t p3 = 0;

    bool operator==(const PlatformState&) const = default;
};

// A field that short input does not cover whole reads as zero.
PlatformState decode_platform_state(std::span<const std::uint8_t> data);
std::array<std::uint8_t, PlatformState::size> encode(const PlatformState& p);

}  // namespace kelpira::records
