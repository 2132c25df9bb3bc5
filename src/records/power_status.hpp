// The 17-byte answer of GET_POWER_STATUS: supply, temperature and the board variant.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kelpira::records {

struct PowerStatus {
    static constexpr std::size_t size = 17;

    std::array<std::uint8_t, 5> leading{};  // kept whole, not interpreted
    std::int32_t supply_mv = 0;             // supply voltage, millivolts
    std::int32_t temperature_mc = 0;        // thousandths of a degree Celsius
    std::uint32_t board_variant = 0;        // 3 and 6 carry the NVRAM

    bool operator==(const PowerStatus&) const = default;
};

// A field that short input does not cover whole reads as zero.
PowerStatus decode_power_status(std::span<const std::uint8_t> data);
std::array<std::uint8_t, PowerStatus::size> encode(const PowerStatus& p);

}  // namespace kelpira::records
