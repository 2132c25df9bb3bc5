// One data row of a raw output file, as the row scanner hands it to a processing engine.
#pragma once

#include <array>
#include <cstdint>

namespace kelpira::processing {

struct RawRow {
    std::uint32_t counter = 0;            // sample counter
    std::uint8_t state = 0;               // state-machine state number (low 8 bits of the column)
    std::array<double, 8> channels{};     // input channels 0..7, photodiode readings
    std::array<double, 2> unused_real{};  // columns 11, 12: not read by processing
    std::array<std::uint32_t, 2> unused_int{};  // columns 13, 14: not read by processing
    std::uint32_t sensor_time = 0;              // seconds since 1970-01-01 UTC
    bool has_platform = false;                  // false for the older 15-column rows
    double salinity = 0;                        // PSU
    double temperature = 0;                     // degrees C
    double oxygen = 0;
    double depth = 0;                 // m
    std::uint32_t platform_time = 0;  // seconds since 1970-01-01 UTC
};

}  // namespace kelpira::processing
