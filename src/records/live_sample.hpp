// The 58-byte live sample and the answer of GET_LIVE_STATUS (the sensor mode, then a sample).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kelpira::records {

// The sensor mode, byte 0 of the GET_LIVE_STATUS answer; the same codes as a state's power
// mode. Any other value is shown as unknown.
using SensorMode = std::uint8_t;
constexpr SensorMode kModeOperating = 0;
constexpr SensorMode kModeSleeping = 1;
constexpr SensorMode kModeIdle = 2;
constexpr SensorMode kModeHibernating = 3;

// One live sample as the sensor sends it. Volts of a channel = counts x 5 / 65536.
struct LiveSample {
    static constexpr std::size_t size = 58;
    static constexpr std::size_t kChannels = 8;

    std::uint8_t platform_valid = 0;  // non-zero: the platform fields hold the platform's values
    std::uint32_t counter = 0;        // a value different from the previous one marks a new sample
    std::uint32_t sensor_time = 0;    // seconds since 1970-01-01 UTC
    std::uint8_t state = 0;           // state-machine state
    std::int32_t temperature_mc = 0;  // thousandths of a degree Celsius
    std::int32_t voltage_mv = 0;      // supply, millivolts
    std::array<std::uint16_t, kChannels> channel{};  // converter counts
    std::uint16_t hall_i = 0;
    std::uint16_t hall_w = 0;
    float platform_salinity = 0;      // PSU
    float platform_temperature = 0;   // degrees Celsius
    float platform_do = 0;            // dissolved oxygen, ml/l
    float platform_depth = 0;         // metres
    std::uint32_t platform_time = 0;  // seconds since 1970-01-01 UTC

    bool operator==(const LiveSample&) const = default;
};

// The whole GET_LIVE_STATUS answer payload.
struct LiveStatus {
    static constexpr std::size_t size = 1 + LiveSample::size;

    SensorMode mode = kModeIdle;
    LiveSample sample;

    bool operator==(const LiveStatus&) const = default;
};

// A field that short input does not cover whole reads as zero.
LiveSample decode_live_sample(std::span<const std::uint8_t> data);
std::array<std::uint8_t, LiveSample::size> encode(const LiveSample& s);

LiveStatus decode_live_status(std::span<const std::uint8_t> data);
std::array<std::uint8_t, LiveStatus::size> encode(const LiveStatus& s);

}  // namespace kelpira::records
