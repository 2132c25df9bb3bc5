// The deployment check: whether a sensor is ready to go into the water and how long it will
// last. It reads the sensor (read commands only), dry-runs its program and answers one item
// per rule, in this order: link, firmware, supply, clock, running, program, references,
// faults, states, timeline, schedule, cycle, endurance, battery, serial, thermistors; and
// keeps what a deployment sheet records (deployment_sheet.hpp).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/clock_offset.hpp"
#include "deployment_check/check_inputs.hpp"
#include "deployment_check/check_item.hpp"
#include "deployment_check/firmware_warnings.hpp"
#include "deployment_check/sensor_reading.hpp"
#include "deployment_check/timeline.hpp"
#include "link/sensor_link.hpp"
#include "report/snapshot_json.hpp"

namespace kelpira::deployment_check {

inline constexpr std::array<std::string_view, 16> kItemIds{
    "link",   "firmware", "supply",   "clock", "running",   "program", "references", "faults",
    "states", "timeline", "schedule", "cycle", "endurance", "battery", "serial",     "thermistors"};

// The check as a whole: ready (no item fails), not ready, or not checked (the sensor could
// not be reached, did not identify itself or left reads unanswered), with its items.
enum class Readiness { ready, not_ready, not_checked };

// The sensor as the sheet names it.
struct SensorFacts {
    std::string name;  // the bytes the sensor holds; shown through common::visible_text
    std::uint16_t serial_number = 0;
    std::uint16_t board_serial_number = 0;
    std::uint16_t device_type = 0;
    std::uint8_t bootloader_version = 0;
    std::optional<std::string> firmware;  // the bytes the sensor sent
};

// The sensor's clock against the PC's.
struct ClockFacts {
    std::optional<std::int64_t> sensor_s;  // as read, in whatever zone it keeps
    std::int64_t pc_utc_s = 0;             // the PC's UTC at that read
    std::int64_t pc_local_s = 0;           // the PC's local time then
    // The offset to a fraction of a second, when the check was asked to measure it.
    std::optional<config::ClockOffset> measured;
    std::string measure_error;  // why it could not be measured
};

struct CheckOutcome {
    Readiness readiness = Readiness::not_checked;
    std::string reason;  // not_checked: why, one sentence
    std::vector<CheckItem> items;
    std::optional<std::int64_t> checked_utc_s;  // when the check started, by the PC's UTC
    // What a deployment sheet records beside the items.
    CheckInputs inputs;
    std::optional<SensorFacts> sensor;  // nothing: the sensor did not identify itself
    ClockFacts clock;
    std::optional<std::string> program_sha256;  // of the program read, when one was
    std::size_t program_states = 0;
    std::optional<Timeline> timeline;
    std::vector<WarningMatch> firmware_warnings;
    // The configuration snapshot `config export` writes, and why it is missing.
    std::optional<report::Json> configuration;
    std::string configuration_failure;
};

// The items judged on a reading, with the timeline and the firmware warnings they read.
struct Judgement {
    std::vector<CheckItem> items;
    std::optional<Timeline> timeline;
    std::vector<WarningMatch> firmware_warnings;
};

// "ready", "not ready", "not checked".
std::string_view readiness_name(Readiness r);
// The program's exit status: 0 ready, 1 not ready, 3 not checked (2 is a usage error).
int exit_status(const CheckOutcome& outcome);
// An outcome for a sensor that could not be opened at all.
CheckOutcome not_checked(std::string reason);
// The reason the reading leaves the check undecided, or nothing when it can be judged.
std::optional<std::string> unchecked_reason(const SensorReading& reading);

// Judges what was read. When the sensor did not identify itself every item after `link` is
// skipped.
Judgement judge(const SensorReading& reading, const CheckInputs& inputs);

// What a run of the check does beside the reads every check makes.
struct CheckOptions {
    // Measure the clock's offset to a fraction of a second for a sheet: the sensor's clock is
    // read until its second changes, up to a second more of waiting on the sensor.
    bool measure_clock = false;
    config::UtcClock utc = config::system_utc;
};

// Reads the sensor (its configuration snapshot too) and judges it.
CheckOutcome run_check(link::SensorLink& link, const CheckInputs& inputs,
                       const PcClocks& clocks = {}, const ReadControl& control = {},
                       const CheckOptions& options = {});

// The window's first line: "NOT READY: 3 items fail", "READY with 2 warnings", "READY",
// "NOT CHECKED: <reason>".
std::string headline(const CheckOutcome& outcome);

// The items, the most severe first (fail, warn, pass, skip), in check order within each.
std::vector<CheckItem> by_severity(std::vector<CheckItem> items);

}  // namespace kelpira::deployment_check
