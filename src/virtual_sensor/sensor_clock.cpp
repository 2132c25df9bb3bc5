// The emulated sensor's real-time clock. Setting it keeps the difference to the host clock,
// so the sensor's time runs on from what was set.
#include "virtual_sensor/sensor_clock.hpp"

#include <array>
#include <cmath>

#include "common/bytes.hpp"
#include "common/time_text.hpp"
#include "link/command_catalogue.hpp"

namespace kelpira::virtual_sensor {

namespace {

using link::CommandCode;

constexpr std::uint8_t kRtcTimeSize = link::response_length(CommandCode::GET_RTC_TIME);

std::int64_t host_seconds(TimePoint now) {
    return std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch()).count();
}

void get_rtc_time(Exchange& x) {
    const auto f = common::utc_fields(sensor_seconds(x.state, x.now));
    common::ByteWriter w(x.response);
    w.u8(0);
    w.u16(static_cast<std::uint16_t>(f.year));
    w.u8(static_cast<std::uint8_t>(f.month));
    w.u8(static_cast<std::uint8_t>(f.day));
    w.u8(static_cast<std::uint8_t>(f.hour));
    w.u8(static_cast<std::uint8_t>(f.minute));
    w.u8(static_cast<std::uint8_t>(f.second));
    x.response_length = kRtcTimeSize;
}

// A date the clock cannot hold (month 13, minute 60...) is refused, not rolled over.
void set_rtc_time(Exchange& x) {
    if (x.request_length != kRtcTimeSize) {
        x.result = link::kResultBadLength;
        return;
    }
    common::ByteReader r(x.request);
    r.skip(1);
    common::UtcFields f{};
    f.year = r.u16();
    f.month = r.u8();
    f.day = r.u8();
    f.hour = r.u8();
    f.minute = r.u8();
    f.second = r.u8();
    const std::int64_t seconds = common::utc_seconds(f);
    const auto back = common::utc_fields(seconds);
    if (back.year != f.year || back.month != f.month || back.day != f.day || back.hour != f.hour ||
        back.minute != f.minute || back.second != f.second) {
        x.result = kResultBadValue;
        return;
    }
    set_sensor_clock(x.state, x.now, seconds);
}

constexpr std::array kCommands{
    CommandEntry{link::code_value(CommandCode::GET_RTC_TIME), get_rtc_time},
    CommandEntry{link::code_value(CommandCode::SET_RTC_TIME), set_rtc_time},
};

}  // namespace

std::span<const CommandEntry> sensor_clock_commands() {
    return kCommands;
}

double sensor_exact_seconds(const SensorState& state, TimePoint now) {
    using Seconds = std::chrono::duration<double>;
    const double drift =
        state.options.clock_drift_ppm * 1e-6 * Seconds(now - state.rtc_set).count();
    return Seconds(now.time_since_epoch()).count() + state.rtc_offset.count() + drift;
}

std::int64_t sensor_seconds(const SensorState& state, TimePoint now) {
    return static_cast<std::int64_t>(std::floor(sensor_exact_seconds(state, now)));
}

// Set to a whole second, the clock keeps the host clock's fraction of a second.
void set_sensor_clock(SensorState& state, TimePoint now, std::int64_t seconds) {
    state.rtc_offset = std::chrono::seconds(seconds - host_seconds(now));
    state.rtc_set = now;
}

}  // namespace kelpira::virtual_sensor
