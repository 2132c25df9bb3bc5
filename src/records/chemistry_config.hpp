// The 18-byte chemistry configuration record: chemistry, sample interval, multiplexer and
// the seven start states.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "records/chemistry_type.hpp"

namespace kelpira::records {

inline constexpr std::uint8_t kStateDisabled = 255;  // a start state that is not used

struct ChemistryConfig {
    static constexpr std::size_t size = 18;

    std::uint8_t reserved0 = 0;  // carried as read
    ChemistryType chemistry = ChemistryType::generic;
    std::uint32_t sample_interval_ms = 0;
    std::uint8_t multiplexer = 0;  // 0 none, 1 pH; 2, 3 obsolete TA multiplexers
    std::uint8_t start_auto_deployment = 0;
    std::uint8_t start_manual_flushing = 0;
    std::uint8_t start_manual_priming = 0;
    std::uint8_t start_manual_deployment = 0;
    std::uint8_t start_special1 = 0;
    std::uint8_t start_special2 = 0;
    std::uint8_t start_special3 = 0;
    std::array<std::uint8_t, 2> reserved14{};  // carried as read
    std::uint16_t reserved16 = 0;              // carried as read

    bool operator==(const ChemistryConfig&) const = default;
};

ChemistryConfig decode_chemistry_config(std::span<const std::uint8_t> data);
std::array<std::uint8_t, ChemistryConfig::size> encode(const ChemistryConfig& c);

// The record a page starts from when the sensor's record is not for its chemistry:
// Manual Deployment at state 0, every other start state disabled; the pH page samples
// every 100 ms with the pH multiplexer, every other page every 1000 ms without one.
ChemistryConfig default_chemistry_config(ChemistryType code);

}  // namespace kelpira::records
