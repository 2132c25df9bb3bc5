// Live status of the emulated sensor. Values follow slow sine waves of the sample counter, so
// they change every second, stay plausible and are the same for the same time.
#include "virtual_sensor/live_status.hpp"

#include <array>
#include <cmath>
#include <cstdio>

#include "common/bytes.hpp"

namespace kelpira::virtual_sensor {

namespace {

constexpr std::uint16_t kGetPowerStatus = 295;
constexpr std::uint16_t kGetLiveStatus = 418;
constexpr std::uint16_t kGetOutputFileName = 422;
constexpr std::uint16_t kGetPlatformState = 444;

constexpr std::size_t kLiveStatusSize = 59;  // mode byte and a 58-byte live sample
constexpr std::size_t kPowerStatusSize = 17;
constexpr std::size_t kPlatformStateSize = 36;
constexpr std::size_t kFileNameSize = 13;

// A wave of the given amplitude and period (in samples) around a centre.
double wave(std::uint32_t counter, double centre, double amplitude, double period,
            double phase = 0) {
    constexpr double kTwoPi = 6.283185307179586;
    return centre + amplitude * std::sin(kTwoPi * counter / period + phase);
}

std::int32_t temperature_mc(std::uint32_t counter) {
    return static_cast<std::int32_t>(std::lround(wave(counter, 15000, 250, 600)));
}

std::uint32_t sensor_seconds(const SensorState& s, TimePoint now) {
    const auto t =
        std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch()) + s.rtc_offset;
    return static_cast<std::uint32_t>(t.count());
}

struct PlatformValues {
    float salinity, temperature, dissolved_oxygen, depth;
    std::uint8_t direction;  // 1 descending, 2 ascending
};

// The host platform dives and climbs slowly in a ten-minute cycle.
PlatformValues platform_values(std::uint32_t counter) {
    constexpr double kCycle = 600;
    const double phase = std::fmod(counter, kCycle) / kCycle;
    return {static_cast<float>(wave(counter, 35.1, 0.05, 300)),
            static_cast<float>(wave(counter, 12.5, 0.3, kCycle)),
            static_cast<float>(wave(counter, 5.2, 0.1, 450)),
            static_cast<float>(wave(counter, 50, 45, kCycle, -1.5707963267948966)),
            static_cast<std::uint8_t>(phase < 0.5 ? 1 : 2)};
}

void get_live_status(Exchange& x) {
    const std::uint32_t k = sample_counter(x.state, x.now);
    const std::int32_t supply = supply_mv(x.state, k);
    common::ByteWriter w(x.response);
    w.u8(x.state.mode);
    x.response_length = kLiveStatusSize;
    if (supply < kLowSupplyMv) {
        x.result = link::kResultLowVoltage;  // the mode is valid, the sample is not
        return;
    }
    const auto p = platform_values(k);
    const std::uint32_t now = sensor_seconds(x.state, x.now);
    w.u8(1);  // platform values valid
    w.u32(k);
    w.u32(now);
    w.u8(x.state.mode == kModeIdle ? std::uint8_t{0} : x.state.state_number);
    w.i32(temperature_mc(k));
    w.i32(supply);
    for (unsigned c = 0; c < 8; ++c) {
        // Channel c sits near (0.9 + 0.5 c) volts with a ripple of its own.
        w.u16(static_cast<std::uint16_t>(std::lround(wave(k, 11800 + 6550 * c, 700, 40 + 7 * c))));
    }
    w.u16(static_cast<std::uint16_t>(1000 + k % 7));   // Hall (I)
    w.u16(static_cast<std::uint16_t>(2000 + k % 11));  // Hall (W)
    w.f32(p.salinity);
    w.f32(p.temperature);
    w.f32(p.dissolved_oxygen);
    w.f32(p.depth);
    w.u32(now);
}

void get_power_status(Exchange& x) {
    const std::uint32_t k = sample_counter(x.state, x.now);
    common::ByteWriter w(x.response);
    w.zeros(5);
    w.i32(supply_mv(x.state, k));
    w.i32(temperature_mc(k));
    w.u32(x.state.options.board_variant);
    x.response_length = kPowerStatusSize;
}

void get_platform_state(Exchange& x) {
    const std::uint32_t k = sample_counter(x.state, x.now);
    const auto p = platform_values(k);
    common::ByteWriter w(x.response);
    w.zeros(3);
    w.f32(p.salinity);
    w.f32(p.temperature);
    w.f32(p.dissolved_oxygen);
    w.f32(p.depth);
    w.u8(p.direction);
    w.zeros(4);
    w.i32(static_cast<std::int32_t>(k % 1000));  // P1 counts the platform's messages
    w.i32(42);
    w.i32(-1);
    x.response_length = kPlatformStateSize;
}

// Each run writes a file of its own; an idle sensor writes none and answers an empty name.
void get_output_file_name(Exchange& x) {
    if (x.state.mode != kModeIdle) {
        std::array<char, 16> name{};
        std::snprintf(name.data(), name.size(), "R%07u.CSV",
                      static_cast<unsigned>(x.state.runs_started % 10000000));
        common::ByteWriter w(x.response);
        w.text(name.data(), kFileNameSize);
    }
    if (x.unterminated_text) {
        for (std::size_t i = 0; i < kFileNameSize; ++i) {
            if (x.response[i] == 0) {
                x.response[i] = '~';
            }
        }
    }
    x.response_length = kFileNameSize;
}

constexpr std::array kCommands{
    CommandEntry{kGetPowerStatus, get_power_status},
    CommandEntry{kGetLiveStatus, get_live_status},
    CommandEntry{kGetOutputFileName, get_output_file_name},
    CommandEntry{kGetPlatformState, get_platform_state},
};

}  // namespace

std::span<const CommandEntry> live_status_commands() {
    return kCommands;
}

std::uint32_t sample_counter(const SensorState& state, TimePoint now) {
    if (now <= state.started) {
        return 0;
    }
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::seconds>(now - state.started).count());
}

std::int32_t supply_mv(const SensorState& state, std::uint32_t counter) {
    return static_cast<std::int32_t>(std::lround(wave(counter, state.options.supply_mv, 40, 90)));
}

}  // namespace kelpira::virtual_sensor
