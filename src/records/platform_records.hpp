// The three records of the host platform: the defaults of the platform quantities the sensor
// holds, and the line settings and protocol of its RS232 and RS485 interfaces; with their
// factory values.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace kelpira::records {

// Parity as the sensor stores it; None is 4, not 0.
inline constexpr std::uint8_t kParityEven = 0;
inline constexpr std::uint8_t kParityOdd = 1;
inline constexpr std::uint8_t kParitySpace = 2;
inline constexpr std::uint8_t kParityMark = 3;
inline constexpr std::uint8_t kParityNone = 4;

// Direction of vertical travel.
inline constexpr std::uint8_t kDirectionUnknown = 0;
inline constexpr std::uint8_t kDirectionSurfaced = 1;
inline constexpr std::uint8_t kDirectionDiving = 2;
inline constexpr std::uint8_t kDirectionClimbing = 3;
inline constexpr std::uint8_t kDirectionHovering = 4;
inline constexpr std::uint8_t kDirectionFixed = 5;

// RS232 protocols (`Rs232Protocol`) the sensor knows.
inline constexpr std::uint32_t kRs232None = 0;
inline constexpr std::uint32_t kRs232Seaglider = 1;
inline constexpr std::uint32_t kRs232StormLogger = 2;
inline constexpr std::uint32_t kRs232SlocumGlider = 4;
inline constexpr std::uint32_t kRs232BridgesGlider = 5;
inline constexpr std::uint32_t kRs232Esm2Logger = 9;
inline constexpr std::uint32_t kRs232VraxHub = 11;
inline constexpr std::uint32_t kRs232GenericPolled = 12;
inline constexpr std::uint32_t kRs232GenericStreaming = 13;
inline constexpr std::uint32_t kRs232F250Thermometer = 14;

inline constexpr std::uint8_t kRs232ModeNormal = 0;
inline constexpr std::uint8_t kRs232ModeDebug = 1;

// RS485 protocols.
inline constexpr std::uint32_t kRs485None = 0;
inline constexpr std::uint32_t kRs485SenseOceanHub = 1;
inline constexpr std::uint32_t kRs485StormLogger = 2;

struct PlatformDefaults {
    static constexpr std::size_t size = 36;

    std::uint8_t reserved0 = 1;  // always written 1
    std::uint16_t dive_number = 0;
    float salinity_psu = 0;
    float temperature_c = 0;
    float oxygen_ml_l = 0;  // dissolved oxygen, ml/l
    float depth_m = 0;
    std::uint8_t direction = kDirectionUnknown;
    std::int32_t time_offset_s = 0;  // from the sensor's clock to platform time
    // Platform-defined; the depth triggers of the state-machine program name them as levels.
    std::int32_t p1 = 0;
    std::int32_t p2 = 0;
    std::int32_t p3 = 0;

    bool operator==(const PlatformDefaults&) const = default;
};

struct Rs232Config {
    static constexpr std::size_t size = 13;

    std::uint8_t reserved0 = 0;  // always written 0
    std::uint32_t baud = 9600;
    std::uint8_t parity = kParityNone;
    std::uint8_t data_bits = 8;
    std::uint8_t stop_bits = 1;
    std::uint32_t protocol = kRs232None;
    std::uint8_t mode = kRs232ModeNormal;

    bool operator==(const Rs232Config&) const = default;
};

struct Rs485Config {
    static constexpr std::size_t size = 17;

    std::uint8_t reserved0 = 0;  // always written 0
    std::uint32_t baud = 9600;
    std::uint8_t parity = kParityNone;
    std::uint8_t data_bits = 8;
    std::uint8_t stop_bits = 1;
    std::uint32_t protocol = kRs485None;
    std::uint8_t slave_address = 0;  // the sensor's address on the bus
    std::uint32_t poll_rate_s = 0;   // seconds

    bool operator==(const Rs485Config&) const = default;
};

PlatformDefaults decode_platform_defaults(std::span<const std::uint8_t> data);
std::array<std::uint8_t, PlatformDefaults::size> encode(const PlatformDefaults& p);

Rs232Config decode_rs232_config(std::span<const std::uint8_t> data);
std::array<std::uint8_t, Rs232Config::size> encode(const Rs232Config& c);

Rs485Config decode_rs485_config(std::span<const std::uint8_t> data);
std::array<std::uint8_t, Rs485Config::size> encode(const Rs485Config& c);

// What a sensor leaves the factory with: a moored sensor's platform values (35 PSU, 12.5 °C,
// 6 ml/l, depth triggers at 10, 50 and 100 m); RS232 answering a generic polling host at 9600
// 8N1; RS485 switched off.
PlatformDefaults default_platform_defaults();
Rs232Config default_rs232_config();
Rs485Config default_rs485_config();

}  // namespace kelpira::records
