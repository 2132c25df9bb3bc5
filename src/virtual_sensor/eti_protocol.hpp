// The firmware's side of the ETI protocol: "$CMD,..." sentences with a CRC-16/ARC checksum,
// each answered by one sentence, around a measurement the platform starts and collects.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "virtual_sensor/platform_exchange.hpp"
#include "virtual_sensor/sensor_state.hpp"

namespace kelpira::virtual_sensor {

// The states the sensor reports to "$CMD,0" and "$CMD,1".
inline constexpr std::uint8_t kEtiNotReady = 0;  // supply too low to measure
inline constexpr std::uint8_t kEtiReady = 1;
inline constexpr std::uint8_t kEtiMeasuring = 2;
inline constexpr std::uint8_t kEtiResultReady = 3;

// How long a measurement takes on the sensor's clock.
inline constexpr std::chrono::seconds kEtiMeasurementTime{10};

// Where the sensor is between sentences.
struct EtiMachine {
    std::uint8_t state = kEtiReady;
    TimePoint measuring_since;
    std::optional<Measurement> result;  // the finished measurement, until "$CMD,3" takes it
};

// One sentence without its CR LF. Sentences with a wrong or missing checksum, and commands the
// sensor does not know, are not answered (nullopt). Otherwise the answer:
// - "$CMD,0": "$CMD,0,state,supply (tenths of a volt),temperature (tenths of a degree)";
// - "$CMD,2,T": sets the clock to T seconds since 1970; "$CMD,2,T" with the time kept;
// - "$CMD,1[,salinity x100,temperature x1000,depth x10,P1,P2,P3]": takes the platform's
//   values, starts a measurement when the sensor is ready, and answers "$CMD,1,state";
// - "$CMD,3": "$CMD,3,time,value,temperature" (thousandths) of the finished measurement.
std::optional<std::string> answer_eti_sentence(SensorState& state, EtiMachine& machine,
                                               TimePoint now, std::string_view sentence);

}  // namespace kelpira::virtual_sensor
