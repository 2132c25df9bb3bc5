// Processing parameters of the nutrient chemistries (Nitrate, Nitrite, Phosphate, Silicate,
// Iron): the current 29-byte record and the older 23-byte layout.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace kelpira::records {

inline constexpr std::uint8_t kNoMonitor = 255;       // a channel without monitoring input
inline constexpr std::uint8_t kOutputAdaptive = 254;  // output_channel "Adaptive"

// The three optical channels, in the order the record and the results keep them.
enum class NutrientChannel : std::uint8_t { medium = 0, short_path = 1, long_path = 2 };

struct NutrientParams {
    static constexpr std::size_t size = 29;
    static constexpr std::size_t legacy_size = 23;  // older firmware: bytes 0..22, layout 0

    std::uint8_t layout = 0;  // 1 for this layout, 0 for the legacy one
    std::uint8_t sensor_version = 0;
    std::uint8_t output_channel = 0;  // 0 Medium, 1 Short, 2 Long, 254 Adaptive
    std::uint8_t sample_intake_state = 0;
    std::uint8_t sample_measurement_state = 0;
    std::uint8_t blank_measurement_state = 0;
    std::uint8_t standard1_state = 0;
    std::uint8_t standard2_state = 0;
    std::uint32_t standard1_nmol = 0;      // µM x 1000
    std::uint32_t standard2_nmol = 0;      // µM x 1000
    std::uint8_t standard_adjustment = 0;  // 0 Standard 1, 1 Standard 2, 2 Linear Fit
    std::uint8_t processing_trigger = 0;   // 0 Standard 1, 1 Standard 2, 2 Sample, 3 Blank
    std::uint8_t optical_correction = 0;   // 1 on, 0 off
    std::uint8_t optical_sample_state = 0;
    std::uint8_t optical_blank_state = 0;
    std::uint8_t output_monitored = 0;  // derived: 1 if the output channel has a monitor
    std::uint8_t output_monitor = 0;    // derived: monitoring input of the output channel
    std::uint8_t measure_medium = 0;    // input 0..7
    std::uint8_t measure_short = 1;
    std::uint8_t measure_long = 2;
    std::uint8_t monitor_medium = kNoMonitor;  // input 0..7 or 255 none
    std::uint8_t monitor_short = kNoMonitor;
    std::uint8_t monitor_long = kNoMonitor;

    bool operator==(const NutrientParams&) const = default;
};

NutrientParams decode_nutrient_params(std::span<const std::uint8_t> data);
std::array<std::uint8_t, NutrientParams::size> encode(const NutrientParams& p);

// Reads the 23-byte record of older firmware into the current layout: layout 1, an output
// channel above 3 becomes 0, measure inputs 0/1/2, and the single monitor goes to the
// output channel's monitor when output_monitored is set.
NutrientParams nutrient_params_from_legacy(std::span<const std::uint8_t> legacy);

// The first 23 bytes of the record with layout 0, as older firmware accepts them.
std::array<std::uint8_t, NutrientParams::legacy_size> encode_legacy(const NutrientParams& p);

// Sets output_monitor and output_monitored from the monitor of the output channel. An output
// channel that names no single channel (3, Adaptive) has no monitor: 255 and 0.
void update_output_monitor(NutrientParams& p);

// Measurement and monitoring input of one channel.
std::uint8_t measure_input(const NutrientParams& p, NutrientChannel c);
std::uint8_t monitor_input(const NutrientParams& p, NutrientChannel c);
std::uint8_t& monitor_input(NutrientParams& p, NutrientChannel c);

}  // namespace kelpira::records
