// Lookups in the lists of "Configure Platform Defaults", "Configure RS232" and "Configure
// RS485" (records/platform_fields.hpp).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "records/platform_fields.hpp"

namespace kelpira::config {

// The entry with the value, or nullptr.
const records::ListEntry* find_entry(std::span<const records::ListEntry> table,
                                     std::uint32_t value);

// One entry of a list as a dialog fills it.
struct ListChoice {
    std::uint32_t value;
    std::string text;

    bool operator==(const ListChoice&) const = default;
};

// The entries of a list that must not lose a stored value it does not offer: the offered
// entries, then one more for such a value, named as the report names it ("Seaglider",
// "unknown or obsolete (7)" for RS232, "unknown (5)" for RS485 and the mode). Saving without
// touching the list then writes back what the sensor had.
std::vector<ListChoice> rs232_protocol_choices(std::uint32_t stored);
std::vector<ListChoice> rs232_mode_choices(std::uint8_t stored);
std::vector<ListChoice> rs485_protocol_choices(std::uint32_t stored);

}  // namespace kelpira::config
