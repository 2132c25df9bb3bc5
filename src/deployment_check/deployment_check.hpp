// The deployment check: whether a sensor is ready to go into the water and how long it will
// last. It reads the sensor (read commands only), dry-runs its program and answers one item
// per rule, in this order: link, firmware, supply, clock, running, program, references,
// faults, states, timeline, schedule, cycle, endurance, battery, serial, thermistors.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "deployment_check/check_inputs.hpp"
#include "deployment_check/check_item.hpp"
#include "deployment_check/sensor_reading.hpp"
#include "link/sensor_link.hpp"

namespace kelpira::deployment_check {

inline constexpr std::array<std::string_view, 16> kItemIds{
    "link",   "firmware", "supply",   "clock", "running",   "program", "references", "faults",
    "states", "timeline", "schedule", "cycle", "endurance", "battery", "serial",     "thermistors"};

// The check as a whole: ready (no item fails), not ready, or not checked (the sensor could
// not be reached, did not identify itself or left reads unanswered), with its items.
enum class Readiness { ready, not_ready, not_checked };

struct CheckOutcome {
    Readiness readiness = Readiness::not_checked;
    std::string reason;  // not_checked: why, one sentence
    std::vector<CheckItem> items;
};

// "ready", "not ready", "not checked".
std::string_view readiness_name(Readiness r);
// The program's exit status: 0 ready, 1 not ready, 3 not checked (2 is a usage error).
int exit_status(const CheckOutcome& outcome);
// An outcome for a sensor that could not be opened at all.
CheckOutcome not_checked(std::string reason);
// The reason the reading leaves the check undecided, or nothing when it can be judged.
std::optional<std::string> unchecked_reason(const SensorReading& reading);

// The outcome as one JSON object, {"verdict", "reason" (when not checked), "items"}, with a
// line feed at the end.
std::string outcome_json(const CheckOutcome& outcome);

// Judges what was read. When the sensor did not identify itself every item after `link` is
// skipped.
std::vector<CheckItem> judge(const SensorReading& reading, const CheckInputs& inputs);

// Reads the sensor and judges it.
CheckOutcome run_check(link::SensorLink& link, const CheckInputs& inputs,
                       const PcClocks& clocks = {}, const ReadControl& control = {});

// The window's first line: "NOT READY: 3 items fail", "READY with 2 warnings", "READY",
// "NOT CHECKED: <reason>".
std::string headline(const CheckOutcome& outcome);

// The items, the most severe first (fail, warn, pass, skip), in check order within each.
std::vector<CheckItem> by_severity(std::vector<CheckItem> items);

}  // namespace kelpira::deployment_check
