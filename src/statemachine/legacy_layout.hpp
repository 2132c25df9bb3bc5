// The legacy 102-byte state record of the older .dat program files, and its conversion to and
// from the current 77-byte record. The conversion loses what the older layout cannot hold:
// the sync value, hibernation (read back as idle) and the exact LED currents.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "statemachine/state_record.hpp"

namespace kelpira::statemachine {

inline constexpr std::size_t kLegacyRecordSize = 102;

using LegacyBytes = std::array<std::uint8_t, kLegacyRecordSize>;

// The legacy layout codes LED drives so that 65535 is 49000 µA; the product is truncated
// toward zero and kept in 16 bits. 0xFFFF ("on at the default current") passes unchanged.
std::uint16_t led_to_legacy(std::uint16_t drive);
std::uint16_t led_from_legacy(std::uint16_t code);

LegacyBytes to_legacy(const StateRecord& s);
// The record as the legacy bytes give it, not yet normalised (`normalised` and `sync_value`
// are 0).
StateRecord from_legacy(std::span<const std::uint8_t, kLegacyRecordSize> bytes);

}  // namespace kelpira::statemachine
