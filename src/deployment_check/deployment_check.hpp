// The deployment check: whether a sensor is ready to go into the water and how long it will
// last. It reads the sensor (read commands only), dry-runs its program and answers one item
// per rule, in this order: link, firmware, supply, clock, running, program, references,
// faults, states, schedule, cycle, endurance, serial, thermistors.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "deployment_check/check_inputs.hpp"
#include "deployment_check/check_item.hpp"
#include "deployment_check/sensor_reading.hpp"
#include "link/sensor_link.hpp"

namespace kelpira::deployment_check {

inline constexpr std::array<std::string_view, 14> kItemIds{
    "link",     "firmware",  "supply", "clock",       "running", "program",
    "references", "faults",  "states", "schedule",    "cycle",   "endurance",
    "serial",   "thermistors"};

// Judges what was read. When the sensor did not identify itself every item after `link` is
// skipped.
std::vector<CheckItem> judge(const SensorReading& reading, const CheckInputs& inputs);

// Reads the sensor and judges it.
std::vector<CheckItem> run_check(link::SensorLink& link, const CheckInputs& inputs,
                                 const PcClocks& clocks = {});

}  // namespace kelpira::deployment_check
