// The values of the simulator's two groups, "Simulated Platform Data" and the serial line's,
// with their lists, limits, defaults per platform type and enabling rules.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "host_platform/serial_port.hpp"

namespace kelpira::host_platform {

enum class PlatformType : std::uint8_t {
    none = 0,
    seaglider = 1,
    bridges = 2,
    storm_logger = 3,
    eti = 4,
    slocum_glider = 5,
    sense_ocean = 6,
};

enum class Direction : std::uint8_t {
    fixed = 0,
    surfaced = 1,
    hovering = 2,
    diving = 3,
    climbing = 4,
    alternating = 5,
};

template <typename T>
struct Choice {
    T value;
    std::string_view text;
};

// The lists of the form, in their order.
inline constexpr std::array<Choice<PlatformType>, 7> kPlatformTypes{{
    {PlatformType::none, "None"},
    {PlatformType::seaglider, "Seaglider"},
    {PlatformType::bridges, "BRIDGES"},
    {PlatformType::storm_logger, "Storm Logger"},
    {PlatformType::eti, "ETI"},
    {PlatformType::slocum_glider, "Slocum Glider"},
    {PlatformType::sense_ocean, "SenseOCEAN"},
}};
inline constexpr std::array<Choice<Direction>, 6> kDirections{{
    {Direction::fixed, "Fixed"},
    {Direction::surfaced, "Surfaced"},
    {Direction::hovering, "Hovering"},
    {Direction::diving, "Diving"},
    {Direction::climbing, "Climbing"},
    {Direction::alternating, "Alternating"},
}};
inline constexpr std::array<Choice<std::uint32_t>, 6> kBaudRates{{
    {9600, "9600"},
    {14400, "14400"},
    {19200, "19200"},
    {38400, "38400"},
    {57600, "57600"},
    {115200, "115200"},
}};
inline constexpr std::array<Choice<std::uint8_t>, 4> kDataBits{{
    {5, "5"},
    {6, "6"},
    {7, "7"},
    {8, "8"},
}};
inline constexpr std::array<Choice<StopBits>, 2> kStopBits{{
    {StopBits::one, "1"},
    {StopBits::two, "2"},
}};
inline constexpr std::array<Choice<Parity>, 5> kParities{{
    {Parity::none, "None"},
    {Parity::even, "Even"},
    {Parity::odd, "Odd"},
    {Parity::space, "Space"},
    {Parity::mark, "Mark"},
}};

// "Simulated Platform Data", read from the form whenever an action starts. Depths in metres,
// rates in cm/s, intervals in seconds.
struct SimulatorSettings {
    PlatformType platform_type = PlatformType::none;
    std::uint16_t dive_number = 1;
    std::int32_t min_depth = 10;
    std::int32_t max_depth = 100;
    std::int32_t dive_rate = 10;
    std::int32_t climb_rate = 10;
    Direction direction = Direction::fixed;
    double salinity = 35.0;     // PSU, shown "%.2f"
    double temperature = 15.0;  // degrees C, shown "%.3f"
    std::int32_t p1 = 0;
    std::int32_t p2 = 0;
    std::int32_t p3 = 0;
    std::int32_t update_interval = 10;
    bool enable_sampling = false;
    std::int32_t sample_interval = 60;
};

// The serial line's group.
struct SerialSettings {
    std::string serial_port;  // device path; empty when the list offers none
    bool override_settings = false;
    LineSettings line;
    std::uint8_t slave_address = 0;
};

inline constexpr std::int32_t kMinInterval = 1;
inline constexpr std::int32_t kMaxInterval = 99999;

// What the entries accept: larger dive numbers become 65535, intervals are held to 1..99999,
// larger slave addresses become 255. Negative dive numbers and addresses become 0.
std::uint16_t clamp_dive_number(std::int64_t typed);
std::int32_t clamp_interval(std::int64_t typed);
std::uint8_t clamp_slave_address(std::int64_t typed);

// Choosing a platform type: its line defaults (SenseOCEAN 19200 8E1 at address 71, the others
// 9600 8N1 at address 0), direction Alternating for Seaglider, BRIDGES and Slocum Glider and
// Fixed for the others, Enable Sampling ticked for BRIDGES only.
void choose_platform_type(PlatformType type, SimulatorSettings& sim, SerialSettings& serial);

// Choosing a direction: Surfaced also sets the min depth to 0.
void choose_direction(Direction direction, SimulatorSettings& sim);

// The caption of the serial line's group for a platform type.
std::string_view serial_group_caption(PlatformType type);

// Whether "Start" and "Download" exist for a platform type.
bool has_simulation(PlatformType type);
bool has_download(PlatformType type);

// Which controls of the window are enabled.
struct FormEnabling {
    bool platform_type = false;
    bool dive_number = false;
    bool p_values = false;  // P1, P2, P3
    bool direction = false;
    bool min_depth = false;
    bool max_depth = false;
    bool dive_rate = false;
    bool climb_rate = false;
    bool salinity = false;
    bool temperature = false;
    bool update_interval = false;
    bool enable_sampling = false;
    bool sample_interval = false;
    bool serial_port = false;
    bool override_settings = false;
    bool line_settings = false;  // baud rate, data bits, stop bits, parity
    bool slave_address = false;
    bool start = false;
    bool download = false;
    bool stop = false;
};

// Idle: by platform type and the form's values; running: only "Stop".
FormEnabling form_enabling(const SimulatorSettings& sim, const SerialSettings& serial,
                           bool running);

}  // namespace kelpira::host_platform
