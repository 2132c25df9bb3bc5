// Everything the deployment check reads from the sensor, through the existing command
// wrappers and controllers, with the result of each read that failed.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/pc_clock.hpp"
#include "link/identity_probe.hpp"
#include "link/sensor_link.hpp"
#include "records/chemistry_config.hpp"
#include "records/clock_records.hpp"
#include "records/live_sample.hpp"
#include "records/platform_records.hpp"
#include "records/power_status.hpp"
#include "records/thermistor_config.hpp"
#include "statemachine/state_machine_image.hpp"

namespace kelpira::deployment_check {

// A record read, or the result of the read that failed (14: the transaction failed).
template <typename T>
struct Read {
    std::optional<T> value;
    link::CommandResult result = link::kResultSuccess;

    explicit operator bool() const { return value.has_value(); }
    const T& operator*() const { return *value; }
    const T* operator->() const { return &*value; }
};

inline constexpr std::size_t kThermistors = 3;

struct SensorReading {
    std::optional<link::ProbedSensor> identity;  // nothing: every other read was skipped
    std::optional<std::string> firmware_version;
    Read<records::PowerStatus> power;
    Read<records::SensorMode> mode;  // byte 0 of the live status
    Read<records::RtcTime> sensor_clock;
    config::CalendarTime pc_utc;    // the PC's clock as the sensor's clock was read
    config::CalendarTime pc_local;  // the same instant in the PC's time zone
    Read<records::ChemistryConfig> chemistry;
    Read<std::vector<std::uint8_t>> processing;  // the chemistry's processing record
    std::optional<statemachine::StateMachineImage> program;
    bool program_empty = false;   // the sensor holds no program (the image is one default state)
    std::string program_failure;  // which command failed, when the program could not be read
    bool program_unanswered = false;  // a read of the program got no answer
    bool cancelled = false;           // the reads were cancelled before they were all made
    Read<records::MeasurementSchedule> schedule;
    Read<records::NextMeasurement> next;
    Read<records::Rs232Config> rs232;
    Read<records::Rs485Config> rs485;
    std::array<Read<records::ThermistorConfig>, kThermistors> thermistors;
};

// The PC's clock, local and UTC; tests stand fixed times in.
struct PcClocks {
    config::PcClock utc = config::pc_utc_time;
    config::PcClock local = config::pc_local_time;
};

// How a caller on another thread follows the reads: `progress(done, total)` after each group
// of reads, and `cancelled()` asked before each; either may be empty.
struct ReadControl {
    std::function<void(std::size_t, std::size_t)> progress;
    std::function<bool()> cancelled;
};

// Reads identity first; when the sensor does not identify itself nothing else is read.
// Sends only read commands. A cancelled reading stops between two reads.
SensorReading read_sensor(link::SensorLink& link, const PcClocks& clocks,
                          const ReadControl& control = {});

}  // namespace kelpira::deployment_check
