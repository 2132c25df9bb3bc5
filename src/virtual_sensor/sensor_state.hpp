// The emulated sensor's state, one exchange as a command handler sees it, and the entry of
// the dispatch table that maps a command code to its handler.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "link/identity_records.hpp"
#include "link/sensor_command.hpp"
#include "records/live_sample.hpp"
#include "records/thermistor_config.hpp"
#include "virtual_sensor/actuator_test_state.hpp"
#include "virtual_sensor/firmware_upload.hpp"
#include "virtual_sensor/platform_report.hpp"
#include "virtual_sensor/program_run.hpp"
#include "virtual_sensor/sensor_stores.hpp"
#include "virtual_sensor/stored_program.hpp"
#include "virtual_sensor/virtual_sensor_options.hpp"

namespace kelpira::virtual_sensor {

using TimePoint = std::chrono::system_clock::time_point;

inline constexpr std::size_t kThermistorCount = 3;

// The sensor's own answer to a value it cannot hold (a date that does not exist, a
// thermistor it does not have); the PC treats it as any other failure.
inline constexpr link::CommandResult kResultBadValue = 2;

// Everything the sensor keeps. Guarded by the VirtualSensor's mutex; handlers run under it.
struct SensorState {
    VirtualSensorOptions options;  // running code and profiles change; identity lives below
    std::array<std::uint8_t, link::SensorIdentification::size> identification{};  // as written
    // Configuration records by the code that reads them, each of its catalogue length.
    std::map<std::uint16_t, std::vector<std::uint8_t>> records;
    // Processing parameters by chemistry code, each of the length the sensor expects.
    std::map<std::uint8_t, std::vector<std::uint8_t>> processing_params;
    std::array<std::array<std::uint8_t, records::ThermistorConfig::size>, kThermistorCount>
        thermistors{};

    TimePoint started;  // the sample counter counts seconds since then
    // The sensor's clock: the host clock plus the offset, running fast by the options'
    // clock_drift_ppm since it was last set (or since the start).
    std::chrono::duration<double> rtc_offset{0};  // sensor clock minus the host clock when set
    TimePoint rtc_set;                            // when it was last set
    records::SensorMode mode = records::kModeIdle;
    std::uint32_t runs_started = 0;  // numbers the output file of each run
    ActuatorTests tests;             // the live optics, valves and pump test
    bool led_on = false;
    bool mounted_as_drive = false;
    StoredProgram program;                          // the state-machine program
    ProgramRun run;                                 // the program running since START_STATE_MACHINE
    SensorStores stores;                            // results, logs, tasks
    FirmwareUpload upload;                          // the image WRITE_FIRMWARE_BLOCK is writing
    std::optional<PlatformReport> platform_report;  // the host platform's newest values
};

// One command being carried out. The handler reads the request, fills the response payload
// (zeroed beforehand) and sets the result; it may ask for a restart into the firmware.
struct Exchange {
    SensorState& state;
    std::uint16_t code;
    std::uint8_t request_length;  // byte 5 of the request
    std::span<const std::uint8_t, link::kMaxPayload> request;
    std::span<std::uint8_t, link::kMaxPayload> response;
    TimePoint now;
    bool unterminated_text = false;  // write text fields to their full width, unterminated
    link::CommandResult result = link::kResultSuccess;
    std::uint8_t response_length = 0;  // byte 5 of the answer, which the PC does not read
    bool restart = false;              // the running code is replaced once the answer is out
};

using CommandHandler = void (*)(Exchange&);

struct CommandEntry {
    std::uint16_t code;
    CommandHandler handler;
    bool in_bootloader = false;  // the bootloader knows it too
};

}  // namespace kelpira::virtual_sensor
