// The factory records of the processing board's FRAM and the driver board's NVRAM.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kelpira::records {

// The processing board's FRAM, read with GET_FRAM_SETTINGS and written with SET_FRAM_SETTINGS.
struct FramSettings {
    static constexpr std::size_t size = 9;
    static constexpr std::uint8_t kLayout = 2;  // the layout every record the PC writes has

    std::uint8_t layout = kLayout;
    std::uint8_t board_serial_number = 0;     // an older copy of the processing board's number
    std::array<std::uint8_t, 3> reserved2{};  // not used by the PC; written as 0
    std::uint32_t pump_stroke_meter = 0;      // pump strokes counted since the last reset

    bool operator==(const FramSettings&) const = default;
};

// The driver board's NVRAM, read with GET_NVRAM_SETTINGS and written with SET_NVRAM_SETTINGS.
struct NvramSettings {
    static constexpr std::size_t size = 5;

    std::uint8_t reserved0 = 0;  // not used by the PC; written as 0
    std::uint8_t driver_board_serial_number = 0;
    std::array<std::uint8_t, 3> reserved2{};  // not used by the PC; written as 0

    bool operator==(const NvramSettings&) const = default;
};

FramSettings decode_fram_settings(std::span<const std::uint8_t> data);
std::array<std::uint8_t, FramSettings::size> encode(const FramSettings& f);

NvramSettings decode_nvram_settings(std::span<const std::uint8_t> data);
std::array<std::uint8_t, NvramSettings::size> encode(const NvramSettings& n);

}  // namespace kelpira::records
