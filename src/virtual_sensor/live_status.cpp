// Live status of the emulated sensor. Values follow slow sine waves of the sample counter, so
// they change every second, stay plausible and are the same for the same time.
#include "virtual_sensor/live_status.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "common/bytes.hpp"
#include "link/command_catalogue.hpp"
#include "records/live_sample.hpp"
#include "records/platform_state.hpp"
#include "records/power_status.hpp"
#include "virtual_sensor/led_response.hpp"
#include "virtual_sensor/platform_report.hpp"
#include "virtual_sensor/raw_output_file.hpp"
#include "virtual_sensor/sensor_clock.hpp"

namespace kelpira::virtual_sensor {

namespace {

using link::CommandCode;

constexpr std::size_t kFileNameSize = link::response_length(CommandCode::GET_OUTPUT_FILE_NAME);

// A wave of the given amplitude and period (in samples) around a centre.
double wave(std::uint32_t counter, double centre, double amplitude, double period,
            double phase = 0) {
    constexpr double kTwoPi = 6.283185307179586;
    return centre + amplitude * std::sin(kTwoPi * counter / period + phase);
}

std::int32_t temperature_mc(std::uint32_t counter) {
    return static_cast<std::int32_t>(std::lround(wave(counter, 15000, 250, 600)));
}

// The host platform dives to 95 m and climbs back in a ten-minute cycle.
records::PlatformState platform_state(std::uint32_t counter) {
    constexpr double kCycle = 600;
    records::PlatformState p;
    p.salinity = static_cast<float>(wave(counter, 35.1, 0.05, 300));
    p.temperature = static_cast<float>(wave(counter, 12.5, 0.3, kCycle));
    p.dissolved_oxygen = static_cast<float>(wave(counter, 5.2, 0.1, 450));
    p.depth = static_cast<float>(wave(counter, 50, 45, kCycle, -1.5707963267948966));
    p.direction = std::fmod(counter, kCycle) < kCycle / 2 ? 1 : 2;  // 1 down, 2 up
    p.p1 = static_cast<std::int32_t>(counter % 1000);               // counts its messages
    p.p2 = 42;
    p.p3 = -1;
    return p;
}

template <std::size_t N>
void put(Exchange& x, const std::array<std::uint8_t, N>& record) {
    std::copy(record.begin(), record.end(), x.response.begin());
    x.response_length = static_cast<std::uint8_t>(N);
}

void get_live_status(Exchange& x) {
    const std::uint32_t k = sample_counter(x.state, x.now);
    records::LiveStatus status;
    status.mode = x.state.mode;
    if (supply_mv(x.state, k) < kLowSupplyMv) {
        x.result = link::kResultLowVoltage;  // the mode is valid, the sample is not
        x.response[0] = status.mode;
        x.response_length = 1;
        return;
    }
    // A running program's newest sample; otherwise the sensor's own values of the moment.
    const auto& run = x.state.run;
    status.sample =
        run.active && run.last_sample ? *run.last_sample : sensor_sample(x.state, x.now);
    put(x, records::encode(status));
}

}  // namespace

records::LiveSample sensor_sample(const SensorState& state, TimePoint now) {
    const std::uint32_t k = sample_counter(state, now);
    const std::int32_t supply = supply_mv(state, k);
    const auto platform = platform_state(k);
    records::LiveSample s;
    s.platform_valid = 1;
    s.counter = k;
    s.sensor_time = static_cast<std::uint32_t>(sensor_seconds(state, now));
    s.state = state.run.active ? state.run.state : std::uint8_t{0};
    s.temperature_mc = temperature_mc(k);
    s.voltage_mv = supply;
    // The photodiode inputs see the LEDs the optics test has lit, and only those.
    const auto& optics = state.tests.optics;
    const auto photodiodes =
        photodiode_counts(optics.running ? optics.optics.led_current_ua : LedCurrents{},
                          !optics.running || optics.optics.photodiode_power != 0, k);
    std::copy(photodiodes.begin(), photodiodes.end(), s.channel.begin());
    for (unsigned c = kPhotodiodeChannels; c < records::LiveSample::kChannels; ++c) {
        // Channel c sits near (0.9 + 0.5 c) volts with a ripple of its own.
        s.channel[c] =
            static_cast<std::uint16_t>(std::lround(wave(k, 11800 + 6550 * c, 700, 40 + 7 * c)));
    }
    s.hall_i = static_cast<std::uint16_t>(1000 + k % 7);
    s.hall_w = static_cast<std::uint16_t>(2000 + k % 11);
    s.platform_salinity = platform.salinity;
    s.platform_temperature = platform.temperature;
    s.platform_do = platform.dissolved_oxygen;
    s.platform_depth = platform.depth;
    s.platform_time = s.sensor_time;
    if (state.platform_report) {
        apply_platform_report(*state.platform_report, s);
    }
    return s;
}

namespace {

void get_power_status(Exchange& x) {
    const std::uint32_t k = sample_counter(x.state, x.now);
    records::PowerStatus p;
    p.supply_mv = supply_mv(x.state, k);
    p.temperature_mc = temperature_mc(k);
    p.board_variant = x.state.options.board_variant;
    put(x, records::encode(p));
}

void get_platform_state(Exchange& x) {
    auto p = platform_state(sample_counter(x.state, x.now));
    if (x.state.platform_report) {
        apply_platform_report(*x.state.platform_report, p);
    }
    put(x, records::encode(p));
}

// Each run writes a file of its own; an idle sensor writes none and answers an empty name.
void get_output_file_name(Exchange& x) {
    if (x.state.mode != records::kModeIdle) {
        common::ByteWriter w(x.response);
        w.text(raw_file_name(x.state.runs_started), kFileNameSize);
    }
    if (x.unterminated_text) {
        const auto field = x.response.first(kFileNameSize);
        std::replace(field.begin(), field.end(), std::uint8_t{0}, std::uint8_t{'~'});
    }
    x.response_length = kFileNameSize;
}

constexpr std::array kCommands{
    CommandEntry{link::code_value(CommandCode::GET_POWER_STATUS), get_power_status},
    CommandEntry{link::code_value(CommandCode::GET_LIVE_STATUS), get_live_status},
    CommandEntry{link::code_value(CommandCode::GET_OUTPUT_FILE_NAME), get_output_file_name},
    CommandEntry{link::code_value(CommandCode::GET_PLATFORM_STATE), get_platform_state},
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
