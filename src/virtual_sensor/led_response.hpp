// How the emulated sensor's photodiodes answer its LEDs: the voltage each photodiode input
// reads for the LED currents lit, with a little noise. Photodiode i faces LED i on analogue
// input i and sees a little of the neighbouring LEDs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "records/optics_records.hpp"

namespace kelpira::virtual_sensor {

inline constexpr std::size_t kPhotodiodeChannels = records::kLedCount;  // inputs 0..3

using LedCurrents = std::array<std::uint16_t, records::kLedCount>;  // microamperes

// Volts photodiode `channel` reads for the LED currents lit, without noise: a dark level plus
// a response proportional to the light, up to the amplifier's rail. Unpowered photodiodes
// read only the converter's offset.
double photodiode_volts(std::size_t channel, const LedCurrents& lit_ua, bool powered);

// A reproducible noise of at most half a millivolt either way for one sample of one channel.
double noise_volts(std::uint32_t counter, std::size_t channel);

// Volts on an input as converter counts: 65536 counts span 5 V; clipped to 0..65535.
std::uint16_t volts_to_counts(double volts);

// The counts of the four photodiode inputs for a sample.
std::array<std::uint16_t, kPhotodiodeChannels> photodiode_counts(const LedCurrents& lit_ua,
                                                                 bool powered,
                                                                 std::uint32_t counter);

}  // namespace kelpira::virtual_sensor
