// The emulated sensor's measurement schedule: the record in the layout of the firmware
// imitated, and the next measurement time, the first schedule time not before the sensor's
// clock, measuring from the start time in steps of the schedule's interval.
#include "virtual_sensor/measurement_schedule.hpp"

#include <algorithm>
#include <array>

#include "link/command_catalogue.hpp"
#include "records/clock_records.hpp"
#include "virtual_sensor/sensor_clock.hpp"

namespace kelpira::virtual_sensor {

namespace {

using link::CommandCode;

constexpr std::uint16_t kGetSchedule = link::code_value(CommandCode::GET_SCHEDULE);

records::MeasurementSchedule stored_schedule(const SensorState& s) {
    return records::decode_measurement_schedule(s.records.at(kGetSchedule));
}

// Seconds between measurements; 0 measures continuously.
std::int64_t interval_seconds(const records::MeasurementSchedule& c) {
    switch (c.interval_kind) {
        case records::kMeasureEveryHalfHour:
            return 1800;
        case records::kMeasureEveryNHours:
            return 3600 * std::int64_t{c.interval_count};
        case records::kMeasureEveryNMinutes:
            return 60 * std::int64_t{c.interval_count};
        default:
            return 0;
    }
}

// The kinds the firmware knows: minute intervals only from layout 3; a count of at least one
// hour or minute.
bool acceptable(const records::MeasurementSchedule& c, std::uint8_t layout) {
    switch (c.interval_kind) {
        case records::kMeasureContinuously:
        case records::kMeasureEveryHalfHour:
            return true;
        case records::kMeasureEveryNHours:
            return c.interval_count > 0;
        case records::kMeasureEveryNMinutes:
            return layout >= records::kScheduleLayoutMinutes && c.interval_count > 0;
        default:
            return false;
    }
}

void get_schedule(Exchange& x) {
    const auto& record = x.state.records.at(kGetSchedule);
    std::copy(record.begin(), record.end(), x.response.begin());
    x.response_length = static_cast<std::uint8_t>(record.size());
}

// The sensor keeps its own layout byte whatever the PC sends in it.
void set_schedule(Exchange& x) {
    auto& record = x.state.records.at(kGetSchedule);
    if (x.request_length != record.size()) {
        x.result = link::kResultBadLength;
        return;
    }
    records::MeasurementSchedule c = records::decode_measurement_schedule(x.request);
    c.layout = record[0];
    if (!acceptable(c, c.layout)) {
        x.result = kResultBadValue;
        return;
    }
    const auto bytes = records::encode(c);
    std::copy(bytes.begin(), bytes.end(), record.begin());
}

void get_next_measurement(Exchange& x) {
    const auto c = stored_schedule(x.state);
    const std::int64_t now = sensor_seconds(x.state, x.now);
    const std::int64_t next = next_measurement(x.state, now);
    records::NextMeasurement answer;
    answer.sensor_time = static_cast<std::uint32_t>(now);
    answer.next_time = static_cast<std::uint32_t>(next);
    answer.stop_reached = c.stop_enabled != 0 && next > c.stop_time ? 1 : 0;
    const auto bytes = records::encode(answer);
    std::copy(bytes.begin(), bytes.end(), x.response.begin());
    x.response_length = link::response_length(CommandCode::GET_NEXT_MEASUREMENT);
}

constexpr std::array kCommands{
    CommandEntry{kGetSchedule, get_schedule},
    CommandEntry{link::code_value(CommandCode::SET_SCHEDULE), set_schedule},
    CommandEntry{link::code_value(CommandCode::GET_NEXT_MEASUREMENT), get_next_measurement},
};

}  // namespace

std::span<const CommandEntry> measurement_schedule_commands() {
    return kCommands;
}

std::int64_t next_measurement(const SensorState& state, std::int64_t now) {
    const auto c = stored_schedule(state);
    const std::int64_t step = interval_seconds(c);
    if (now <= c.start_time) {
        return c.start_time;
    }
    return step == 0 ? now : c.start_time + (now - c.start_time + step - 1) / step * step;
}

}  // namespace kelpira::virtual_sensor
