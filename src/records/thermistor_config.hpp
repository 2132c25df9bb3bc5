// The 18-byte thermistor record: input channel and cubic calibration of one thermistor.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace kelpira::records {

// Temperature (degrees C) = a3 v^3 + a2 v^2 + a1 v + a0, v in volts.
struct ThermistorConfig {
    static constexpr std::size_t size = 18;

    std::uint8_t reserved0 = 0;      // written 0
    std::uint8_t input_channel = 0;  // analogue input 0..7
    float a3 = 0;
    float a2 = 0;
    float a1 = 0;
    float a0 = 0;

    bool operator==(const ThermistorConfig&) const = default;
};

ThermistorConfig decode_thermistor_config(std::span<const std::uint8_t> data);
std::array<std::uint8_t, ThermistorConfig::size> encode(const ThermistorConfig& t);

}  // namespace kelpira::records
