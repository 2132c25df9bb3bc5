// The photodiode response model of the emulated sensor.
#include "virtual_sensor/led_response.hpp"

#include <algorithm>
#include <cmath>

namespace kelpira::virtual_sensor {

namespace {

constexpr double kDarkVolts = 0.012;    // a powered photodiode in the dark
constexpr double kOffsetVolts = 0.002;  // the converter with nothing on its input
constexpr double kRailVolts = 4.95;     // the amplifier saturates here
constexpr double kCrosstalk = 0.02;     // share of a neighbouring LED's light
constexpr double kFullScaleVolts = 5.0;
constexpr double kFullScaleCounts = 65536.0;
// Volts per milliampere of LED current: the LEDs and photodiodes differ in efficiency.
constexpr std::array<double, kPhotodiodeChannels> kResponsivity{0.095, 0.110, 0.080, 0.100};

}  // namespace

double photodiode_volts(std::size_t channel, const LedCurrents& lit_ua, bool powered) {
    if (!powered) {
        return kOffsetVolts;
    }
    double light_ma = 0;
    for (std::size_t led = 0; led < lit_ua.size(); ++led) {
        const double share = led == channel                               ? 1.0
                             : (led + 1 == channel || led == channel + 1) ? kCrosstalk
                                                                          : 0.0;
        light_ma += share * lit_ua[led] / 1000.0;
    }
    return std::min(kRailVolts, kDarkVolts + kResponsivity[channel] * light_ma);
}

double noise_volts(std::uint32_t counter, std::size_t channel) {
    // splitmix64 of the sample and channel: the same sample always has the same noise.
    std::uint64_t z = (std::uint64_t{counter} << 3 | channel) + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    const double unit = static_cast<double>(z >> 11) / 9007199254740992.0;  // [0, 1)
    return (unit - 0.5) * 0.001;
}

std::uint16_t volts_to_counts(double volts) {
    const double counts = std::round(volts * kFullScaleCounts / kFullScaleVolts);
    return static_cast<std::uint16_t>(std::clamp(counts, 0.0, kFullScaleCounts - 1));
}

std::array<std::uint16_t, kPhotodiodeChannels> photodiode_counts(const LedCurrents& lit_ua,
                                                                 bool powered,
                                                                 std::uint32_t counter) {
    std::array<std::uint16_t, kPhotodiodeChannels> counts{};
    for (std::size_t c = 0; c < counts.size(); ++c) {
        counts[c] = volts_to_counts(photodiode_volts(c, lit_ua, powered) + noise_volts(counter, c));
    }
    return counts;
}

}  // namespace kelpira::virtual_sensor
