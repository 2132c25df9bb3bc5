// The tables behind every list of "Configure Platform Defaults", "Configure RS232" and
// "Configure RS485", with the lines the configuration report prints for their values.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "records/platform_records.hpp"

namespace kelpira::config {

struct PlatformListEntry {
    std::uint32_t value;
    std::string_view text;         // as the dialog's list shows it
    std::string_view report_text;  // the configuration report's line for the value
};

inline constexpr std::array<std::uint32_t, 9> kRs232BaudRates{1200,  2400,  4800,  9600,  14400,
                                                              19200, 38400, 57600, 115200};
inline constexpr std::array<std::uint32_t, 6> kRs485BaudRates{9600,  14400, 19200,
                                                              38400, 57600, 115200};
inline constexpr std::array<std::uint32_t, 4> kDataBits{5, 6, 7, 8};
inline constexpr std::array<std::uint32_t, 2> kStopBits{1, 2};

// In list order, which is not the order of the values. Both interfaces use it.
inline constexpr std::array<PlatformListEntry, 5> kParities{{
    {records::kParityNone, "None", "Parity: None"},
    {records::kParityEven, "Even", "Parity: Even"},
    {records::kParityOdd, "Odd", "Parity: Odd"},
    {records::kParitySpace, "Space", "Parity: Space"},
    {records::kParityMark, "Mark", "Parity: Mark"},
}};

// Every RS232 protocol the sensor knows; the "Platform" list offers only kRs232Offered.
inline constexpr std::array<PlatformListEntry, 10> kRs232Protocols{{
    {records::kRs232None, "None", "Protocol: None"},
    {records::kRs232Seaglider, "Seaglider", "Protocol: Seaglider"},
    {records::kRs232StormLogger, "Storm Logger", "Protocol: Storm Logger"},
    {records::kRs232SlocumGlider, "Slocum Glider", "Protocol: Slocum Glider"},
    {records::kRs232BridgesGlider, "BRIDGES Glider", "Protocol: BRIDGES Glider"},
    {records::kRs232Esm2Logger, "ESM2 Logger", "Protocol: ESM2 Logger"},
    {records::kRs232VraxHub, "VRAX Hub", "Protocol: VRAX Hub"},
    {records::kRs232GenericPolled, "Generic Polled", "Protocol: Generic Polled"},
    {records::kRs232GenericStreaming, "Generic Streaming", "Protocol: Generic Streaming"},
    {records::kRs232F250Thermometer, "F250 Thermometer", "Protocol: F250 Thermometer"},
}};

// The RS232 "Platform" list, in order.
inline constexpr std::array<std::uint32_t, 3> kRs232Offered{
    records::kRs232None, records::kRs232GenericPolled, records::kRs232GenericStreaming};

inline constexpr std::array<PlatformListEntry, 2> kRs232Modes{{
    {records::kRs232ModeNormal, "Normal", "Mode: Normal"},
    {records::kRs232ModeDebug, "Debug", "Mode: Debug"},
}};

inline constexpr std::array<PlatformListEntry, 3> kRs485Protocols{{
    {records::kRs485None, "None", "Protocol: None"},
    {records::kRs485SenseOceanHub, "SenseOCEAN Hub", "Protocol: SenseOCEAN Hub"},
    {records::kRs485StormLogger, "Storm Logger", "Protocol: Storm Logger"},
}};

// The report prints "unknown" for 0 as for any value outside the list.
inline constexpr std::array<PlatformListEntry, 6> kDirections{{
    {records::kDirectionUnknown, "Unknown", "Direction: unknown (0)"},
    {records::kDirectionSurfaced, "Surfaced", "Direction: Surfaced"},
    {records::kDirectionDiving, "Diving", "Direction: Diving"},
    {records::kDirectionClimbing, "Climbing", "Direction: Climbing"},
    {records::kDirectionHovering, "Hovering", "Direction: Hovering"},
    {records::kDirectionFixed, "Fixed", "Direction: Fixed"},
}};

// The entry with the value, or nullptr.
const PlatformListEntry* find_entry(std::span<const PlatformListEntry> table, std::uint32_t value);

// The report's lines for stored values, with its fallbacks for values outside the tables:
// "Parity: unknown (%u)", "Protocol: unknown or obsolete (%u)" (RS232), "Mode: Debug" for any
// value but 0, "Protocol: unknown (%u)" (RS485), "Direction: unknown (%u)".
std::string parity_report_text(std::uint8_t parity);
std::string rs232_protocol_report_text(std::uint32_t protocol);
std::string rs232_mode_report_text(std::uint8_t mode);
std::string rs485_protocol_report_text(std::uint32_t protocol);
std::string direction_report_text(std::uint8_t direction);

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
