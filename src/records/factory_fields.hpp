// The field tables of the factory records (the processing board's FRAM, the driver board's
// NVRAM). Each row is the one place a field is described: the codecs and the factory settings
// read it.
#pragma once

#include <array>

#include "records/factory_records.hpp"
#include "records/field_table.hpp"

namespace kelpira::records {

inline constexpr RecordTable<FramSettings, 4> kFramSettingsTable{
    link::CommandCode::GET_FRAM_SETTINGS,
    link::CommandCode::SET_FRAM_SETTINGS,
    FramSettings::size,
    {{
        field<&FramSettings::layout>({.name = "layout", .offset = 0}),
        field<&FramSettings::board_serial_number>({.name = "board_serial_number",
                                                   .offset = 1,
                                                   .caption = "Processing Board Serial Number"}),
        field<&FramSettings::reserved2>({.name = "reserved2", .offset = 2, .reserved = true}),
        field<&FramSettings::pump_stroke_meter>(
            {.name = "pump_stroke_meter", .offset = 5, .caption = "Pump Stroke Meter"}),
    }},
};

inline constexpr RecordTable<NvramSettings, 3> kNvramSettingsTable{
    link::CommandCode::GET_NVRAM_SETTINGS,
    link::CommandCode::SET_NVRAM_SETTINGS,
    NvramSettings::size,
    {{
        field<&NvramSettings::reserved0>({.name = "reserved0", .offset = 0, .reserved = true}),
        field<&NvramSettings::driver_board_serial_number>({.name = "driver_board_serial_number",
                                                           .offset = 1,
                                                           .caption = "Driver Board Serial Number",
                                                           .high = 255}),
        field<&NvramSettings::reserved2>({.name = "reserved2", .offset = 2, .reserved = true}),
    }},
};

static_assert(tiles(kFramSettingsTable));
static_assert(tiles(kNvramSettingsTable));
static_assert(commands_carry(kFramSettingsTable));
static_assert(commands_carry(kNvramSettingsTable));

constexpr const auto& record_table(std::type_identity<FramSettings>) {
    return kFramSettingsTable;
}
constexpr const auto& record_table(std::type_identity<NvramSettings>) {
    return kNvramSettingsTable;
}

}  // namespace kelpira::records
