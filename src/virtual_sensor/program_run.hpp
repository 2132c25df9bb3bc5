// The emulated sensor running its stored program: states entered and left as the firmware
// steps through them, one sample per sample interval from the physical model, a raw output
// file per run and a processed result per measurement cycle. Time is the sensor's clock:
// a run owes every sample due between its start and now, and takes them when asked to catch
// up, so a fast clock runs the program fast and nothing depends on sleeps.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "records/live_sample.hpp"
#include "virtual_sensor/chemistry_model.hpp"
#include "virtual_sensor/onboard_processing.hpp"
#include "virtual_sensor/program_step.hpp"
#include "virtual_sensor/raw_output_file.hpp"

namespace kelpira::virtual_sensor {

struct SensorState;
using TimePoint = std::chrono::system_clock::time_point;

struct ProgramRun {
    bool active = false;
    TimePoint started;
    std::uint32_t interval_ms = 1000;  // the chemistry's sample interval
    std::uint64_t samples = 0;  // taken so far; the next is due at started + samples x interval
    std::uint8_t state = 0;
    TimePoint state_entered;
    double state_seconds = 0;  // how long the current state lasts
    bool first_of_state = true;
    StepMemory walk;
    ModelConfig model;
    ModelMemory memory;
    std::optional<records::LiveSample> last_sample;
    std::unique_ptr<RawFileWriter> file;
    OnboardProcessing processing;
};

// State `index` of the stored program; nothing when the program has no such state.
std::optional<statemachine::StateRecord> program_state(const SensorState& state,
                                                       std::uint8_t index);

// Starts the stored program at `start_state` (the caller has checked the program and the
// supply). Opens the run's raw output file when the sensor has storage.
void start_run(SensorState& state, TimePoint now, std::uint8_t start_state);

// When the sample with raw-file counter `counter` (1 for the first) of `run` was taken, by the
// host clock: the true UTC of the emulation, whatever the sensor's clock showed.
TimePoint sample_true_time(const ProgramRun& run, std::uint32_t counter);

// Takes every sample due up to `now`, entering and leaving states on the way.
void advance_run(SensorState& state, TimePoint now);

// Ends a run, logging why: the last measurement state is closed, the file flushed, the
// sensor idle.
void stop_run(SensorState& state, const std::string& why);

// Most state changes one sample may see before the sensor gives up on a program that loops
// through states that take no time.
inline constexpr int kMaxStatesPerSample = 1000;

// The sensor samples at most this often, whatever its chemistry record asks.
inline constexpr std::uint32_t kShortestIntervalMs = 10;

}  // namespace kelpira::virtual_sensor
