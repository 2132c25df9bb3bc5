// The field tables of the host platform's records (platform defaults, RS232, RS485) and the
// lists their dialogs offer. Each row is the one place a field is described: the codec,
// "Configure Platform Defaults", "Configure RS232", "Configure RS485" and the snapshots read it.
#pragma once

#include <array>

#include "records/field_table.hpp"
#include "records/platform_records.hpp"

namespace kelpira::records {

inline constexpr std::array<ListEntry, 9> kRs232BaudRates{{
    {1200, "1200"},
    {2400, "2400"},
    {4800, "4800"},
    {9600, "9600"},
    {14400, "14400"},
    {19200, "19200"},
    {38400, "38400"},
    {57600, "57600"},
    {115200, "115200"},
}};
inline constexpr std::array<ListEntry, 6> kRs485BaudRates{{
    {9600, "9600"},
    {14400, "14400"},
    {19200, "19200"},
    {38400, "38400"},
    {57600, "57600"},
    {115200, "115200"},
}};
inline constexpr std::array<ListEntry, 4> kDataBits{{{5, "5"}, {6, "6"}, {7, "7"}, {8, "8"}}};
inline constexpr std::array<ListEntry, 2> kStopBits{{{1, "1"}, {2, "2"}}};

// In list order, which is not the order of the values. Both interfaces use it.
inline constexpr std::array<ListEntry, 5> kParities{{
    {kParityNone, "None"},
    {kParityEven, "Even"},
    {kParityOdd, "Odd"},
    {kParitySpace, "Space"},
    {kParityMark, "Mark"},
}};

// Every RS232 protocol the sensor knows; the "Platform" list offers only kRs232Offered.
inline constexpr std::array<ListEntry, 10> kRs232Protocols{{
    {kRs232None, "None"},
    {kRs232Seaglider, "Seaglider"},
    {kRs232StormLogger, "Storm Logger"},
    {kRs232SlocumGlider, "Slocum Glider"},
    {kRs232BridgesGlider, "BRIDGES Glider"},
    {kRs232Esm2Logger, "ESM2 Logger"},
    {kRs232VraxHub, "VRAX Hub"},
    {kRs232GenericPolled, "Generic Polled"},
    {kRs232GenericStreaming, "Generic Streaming"},
    {kRs232F250Thermometer, "F250 Thermometer"},
}};

// The RS232 "Platform" list, in order.
inline constexpr std::array<std::uint32_t, 3> kRs232Offered{kRs232None, kRs232GenericPolled,
                                                            kRs232GenericStreaming};

inline constexpr std::array<ListEntry, 2> kRs232Modes{{
    {kRs232ModeNormal, "Normal"},
    {kRs232ModeDebug, "Debug"},
}};

inline constexpr std::array<ListEntry, 3> kRs485Protocols{{
    {kRs485None, "None"},
    {kRs485SenseOceanHub, "SenseOCEAN Hub"},
    {kRs485StormLogger, "Storm Logger"},
}};

inline constexpr std::array<ListEntry, 6> kDirections{{
    {kDirectionUnknown, "Unknown", "unknown (0)"},
    {kDirectionSurfaced, "Surfaced"},
    {kDirectionDiving, "Diving"},
    {kDirectionClimbing, "Climbing"},
    {kDirectionHovering, "Hovering"},
    {kDirectionFixed, "Fixed"},
}};

inline constexpr RecordTable<PlatformDefaults, 11> kPlatformDefaultsTable{
    link::CommandCode::GET_PLATFORM_DEFAULTS,
    link::CommandCode::SET_PLATFORM_DEFAULTS,
    PlatformDefaults::size,
    {{
        field<&PlatformDefaults::reserved0>({.name = "reserved0", .offset = 0, .reserved = true}),
        field<&PlatformDefaults::dive_number>(
            {.name = "dive_number", .offset = 1, .caption = "Dive Number"}),
        field<&PlatformDefaults::salinity_psu>({.name = "salinity_psu",
                                                .offset = 3,
                                                .format = FieldFormat::fixed3,
                                                .caption = "Salinity (PSU)",
                                                .unit = "PSU"}),
        field<&PlatformDefaults::temperature_c>({.name = "temperature_c",
                                                 .offset = 7,
                                                 .format = FieldFormat::fixed3,
                                                 .caption = "Temperature (°C)",
                                                 .report = "Temperature (C)",
                                                 .unit = "°C"}),
        field<&PlatformDefaults::oxygen_ml_l>({.name = "oxygen_ml_l",
                                               .offset = 11,
                                               .format = FieldFormat::fixed3,
                                               .caption = "Dissolved Oxygen (ml/l)",
                                               .unit = "ml/l"}),
        field<&PlatformDefaults::depth_m>({.name = "depth_m",
                                           .offset = 15,
                                           .format = FieldFormat::fixed3,
                                           .caption = "Depth (m)",
                                           .unit = "m"}),
        field<&PlatformDefaults::direction>({.name = "direction",
                                             .offset = 19,
                                             .format = FieldFormat::list,
                                             .caption = "Direction",
                                             .choices = kDirections}),
        field<&PlatformDefaults::time_offset_s>({.name = "time_offset_s",
                                                 .offset = 20,
                                                 .format = FieldFormat::integer,
                                                 .caption = "Time Offset (s)",
                                                 .unit = "s"}),
        field<&PlatformDefaults::p1>(
            {.name = "p1", .offset = 24, .format = FieldFormat::integer, .caption = "P1"}),
        field<&PlatformDefaults::p2>(
            {.name = "p2", .offset = 28, .format = FieldFormat::integer, .caption = "P2"}),
        field<&PlatformDefaults::p3>(
            {.name = "p3", .offset = 32, .format = FieldFormat::integer, .caption = "P3"}),
    }},
};

// The protocol is named from every protocol the sensor knows; the list offers kRs232Offered, a
// record rule.
inline constexpr RecordTable<Rs232Config, 7> kRs232ConfigTable{
    link::CommandCode::GET_RS232_CONFIG,
    link::CommandCode::SET_RS232_CONFIG,
    Rs232Config::size,
    {{
        field<&Rs232Config::reserved0>({.name = "reserved0", .offset = 0, .reserved = true}),
        field<&Rs232Config::baud>({.name = "baud",
                                   .offset = 1,
                                   .format = FieldFormat::channel,
                                   .caption = "Baud Rate",
                                   .choices = kRs232BaudRates}),
        field<&Rs232Config::parity>({.name = "parity",
                                     .offset = 5,
                                     .format = FieldFormat::list,
                                     .caption = "Parity",
                                     .choices = kParities}),
        field<&Rs232Config::data_bits>({.name = "data_bits",
                                        .offset = 6,
                                        .format = FieldFormat::channel,
                                        .caption = "Data Bits",
                                        .choices = kDataBits}),
        field<&Rs232Config::stop_bits>({.name = "stop_bits",
                                        .offset = 7,
                                        .format = FieldFormat::channel,
                                        .caption = "Stop Bits",
                                        .choices = kStopBits}),
        field<&Rs232Config::protocol>({.name = "protocol",
                                       .offset = 8,
                                       .format = FieldFormat::list,
                                       .caption = "Platform",
                                       .report = "Protocol",
                                       .choices = kRs232Protocols,
                                       .otherwise = "unknown or obsolete (%u)"}),
        field<&Rs232Config::mode>({.name = "mode",
                                   .offset = 12,
                                   .format = FieldFormat::list,
                                   .caption = "Mode",
                                   .choices = kRs232Modes,
                                   .otherwise = "Debug"}),
    }},
};

inline constexpr RecordTable<Rs485Config, 8> kRs485ConfigTable{
    link::CommandCode::GET_RS485_CONFIG,
    link::CommandCode::SET_RS485_CONFIG,
    Rs485Config::size,
    {{
        field<&Rs485Config::reserved0>({.name = "reserved0", .offset = 0, .reserved = true}),
        field<&Rs485Config::baud>({.name = "baud",
                                   .offset = 1,
                                   .format = FieldFormat::channel,
                                   .caption = "Baud Rate",
                                   .choices = kRs485BaudRates}),
        field<&Rs485Config::parity>({.name = "parity",
                                     .offset = 5,
                                     .format = FieldFormat::list,
                                     .caption = "Parity",
                                     .choices = kParities}),
        field<&Rs485Config::data_bits>({.name = "data_bits",
                                        .offset = 6,
                                        .format = FieldFormat::channel,
                                        .caption = "Data Bits",
                                        .choices = kDataBits}),
        field<&Rs485Config::stop_bits>({.name = "stop_bits",
                                        .offset = 7,
                                        .format = FieldFormat::channel,
                                        .caption = "Stop Bits",
                                        .choices = kStopBits}),
        field<&Rs485Config::protocol>({.name = "protocol",
                                       .offset = 8,
                                       .format = FieldFormat::list,
                                       .caption = "Platform",
                                       .report = "Protocol",
                                       .choices = kRs485Protocols}),
        field<&Rs485Config::slave_address>(
            {.name = "slave_address", .offset = 12, .caption = "Slave Address"}),
        field<&Rs485Config::poll_rate_s>(
            {.name = "poll_rate_s", .offset = 13, .caption = "Poll Rate (s)", .unit = "s"}),
    }},
};

static_assert(tiles(kPlatformDefaultsTable));
static_assert(tiles(kRs232ConfigTable));
static_assert(tiles(kRs485ConfigTable));

constexpr const auto& record_table(std::type_identity<PlatformDefaults>) {
    return kPlatformDefaultsTable;
}
constexpr const auto& record_table(std::type_identity<Rs232Config>) {
    return kRs232ConfigTable;
}
constexpr const auto& record_table(std::type_identity<Rs485Config>) {
    return kRs485ConfigTable;
}

}  // namespace kelpira::records
