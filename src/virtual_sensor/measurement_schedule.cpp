// The emulated sensor's next measurement time: the first schedule time not before the
// sensor's clock, measuring from the start time in steps of the schedule's interval.
#include "virtual_sensor/measurement_schedule.hpp"

#include <array>

#include "common/bytes.hpp"
#include "link/command_catalogue.hpp"
#include "virtual_sensor/sensor_clock.hpp"

namespace kelpira::virtual_sensor {

namespace {

using link::CommandCode;

// Interval kinds of the schedule record.
constexpr std::uint8_t kEveryHalfHour = 1;
constexpr std::uint8_t kEveryNHours = 4;
constexpr std::uint8_t kEveryNMinutes = 5;

struct Schedule {
    std::uint8_t interval_kind;
    std::int64_t start_time;
    bool stop_enabled;
    std::int64_t stop_time;
    std::uint16_t interval_count;
};

Schedule read_schedule(const SensorState& s) {
    common::ByteReader r(s.records.at(link::code_value(CommandCode::GET_SCHEDULE)));
    r.skip(1);  // layout
    Schedule c{};
    c.interval_kind = r.u8();
    c.start_time = r.u32();
    c.stop_enabled = r.u8() != 0;
    c.stop_time = r.u32();
    c.interval_count = r.u16();
    return c;
}

// Seconds between measurements; 0 measures continuously.
std::int64_t interval_seconds(const Schedule& c) {
    switch (c.interval_kind) {
        case kEveryHalfHour:
            return 1800;
        case kEveryNHours:
            return 3600 * std::int64_t{c.interval_count};
        case kEveryNMinutes:
            return 60 * std::int64_t{c.interval_count};
        default:
            return 0;
    }
}

void get_next_measurement(Exchange& x) {
    const Schedule c = read_schedule(x.state);
    const std::int64_t now = sensor_seconds(x.state, x.now);
    const std::int64_t next = next_measurement(x.state, now);
    common::ByteWriter w(x.response);
    w.u32(static_cast<std::uint32_t>(now));
    w.u32(static_cast<std::uint32_t>(next));
    w.u8(c.stop_enabled && next > c.stop_time ? 1 : 0);
    x.response_length = link::response_length(CommandCode::GET_NEXT_MEASUREMENT);
}

constexpr std::array kCommands{
    CommandEntry{link::code_value(CommandCode::GET_NEXT_MEASUREMENT), get_next_measurement},
};

}  // namespace

std::span<const CommandEntry> measurement_schedule_commands() {
    return kCommands;
}

std::int64_t next_measurement(const SensorState& state, std::int64_t now) {
    const Schedule c = read_schedule(state);
    const std::int64_t step = interval_seconds(c);
    if (now <= c.start_time) {
        return c.start_time;
    }
    return step == 0 ? now : c.start_time + (now - c.start_time + step - 1) / step * step;
}

}  // namespace kelpira::virtual_sensor
