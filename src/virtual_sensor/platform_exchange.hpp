// What the firmware's platform protocols share: the measurement a platform asks for, the
// stored results it downloads, and the clock and start it sets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/time_text.hpp"
#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

// The sensor's current measurement as the platform protocols report it.
struct Measurement {
    std::uint32_t time = 0;           // sensor clock, seconds since 1970-01-01 UTC
    std::int32_t value_milli = 0;     // the chemistry's result, thousandths
    std::int32_t temperature_mc = 0;  // the sensor's temperature, thousandths of a degree
    bool valid = true;
    std::uint32_t std_dev_milli = 0;  // thousandths; the sensor keeps no spread per result
};

// The newest stored result, or, before the first one, what the model's water holds.
Measurement current_measurement(const SensorState& state, TimePoint now);

// Every stored result as a download line of the glider protocols, oldest first, each ending
// in CR: dive, time, depth, value, std dev, validity, direction, P1, P2, P3, supply.
std::vector<std::string> download_lines(const SensorState& state);

// The platform sets the sensor's clock, which runs on from there.
void set_sensor_seconds(SensorState& state, TimePoint now, std::int64_t seconds);
// The same from a civil date; a date that cannot exist changes nothing and gives false.
bool set_sensor_date(SensorState& state, TimePoint now, const common::UtcFields& date);

// The platform starts a dive: an idle sensor starts its program at the automatic deployment
// start state (or the manual one when that is not used), as far as program and supply allow.
void start_deployment(SensorState& state, TimePoint now);

}  // namespace kelpira::virtual_sensor
