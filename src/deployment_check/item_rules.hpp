// The rule of each item of the deployment check, judged on what was read from the sensor.
// Used by deployment_check.cpp, which runs them in order.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "deployment_check/check_inputs.hpp"
#include "deployment_check/check_item.hpp"
#include "deployment_check/cycle_facts.hpp"
#include "deployment_check/fault_paths.hpp"
#include "deployment_check/processing_states.hpp"
#include "deployment_check/program_walk.hpp"
#include "deployment_check/sensor_reading.hpp"

namespace kelpira::deployment_check {

// A start state the run control offers, with its dry run when the state is in the program.
struct StartRun {
    std::string_view label;  // "Deploy", "Automatic Deployment", "Prime", ...
    std::uint8_t start = 0;
    std::optional<ProgramWalk> walk;
};

// The dry runs and the cycle they show, worked out once for the items that share them.
struct ProgramAnalysis {
    std::optional<StartRun> deploy;  // nothing when the Deploy start state is not set
    std::vector<StartRun> others;    // every other start state that is set
    ProcessingStates processing;
    std::optional<CycleFacts> cycle;          // of the Deploy dry run
    std::uint8_t marker = 0;                  // the state whose entries count measurements
    std::vector<Reference> broken;            // references to states the program lacks
    std::vector<std::uint8_t> unreachable;    // states no start state reaches
    std::vector<FaultPath> faults;            // of the Deploy dry run
    bool program_waits = false;               // a state of the program waits for the schedule
    std::optional<std::uint64_t> interval_s;  // the schedule's; 0 measures continuously
    // Seconds from one measurement cycle to the next in the water: the schedule's interval
    // when the run waits for it and keeps up with it, else the cycle's length.
    std::optional<double> pace_s;
    bool paced_by_schedule = false;
};

ProgramAnalysis analyse_program(const SensorReading& r);

// Seconds between measurements of a schedule; 0 continuously; nothing for an unknown kind.
std::optional<std::uint64_t> interval_seconds(const records::MeasurementSchedule& s);
// "continuously", "every 30 min", "every 2 h".
std::string interval_text(const records::MeasurementSchedule& s);

CheckItem link_item(const SensorReading& r);
CheckItem firmware_item(const SensorReading& r);
CheckItem supply_item(const SensorReading& r);
CheckItem clock_item(const SensorReading& r);
CheckItem running_item(const SensorReading& r);
CheckItem program_item(const SensorReading& r, const ProgramAnalysis& a, const CheckInputs& in);
CheckItem references_item(const SensorReading& r, const ProgramAnalysis& a);
CheckItem faults_item(const ProgramAnalysis& a);
CheckItem states_item(const SensorReading& r, const ProgramAnalysis& a);
CheckItem schedule_item(const SensorReading& r, const ProgramAnalysis& a);
CheckItem cycle_item(const ProgramAnalysis& a);
CheckItem endurance_item(const ProgramAnalysis& a, const CheckInputs& in);
CheckItem serial_item(const SensorReading& r, const CheckInputs& in);
CheckItem thermistors_item(const SensorReading& r);

}  // namespace kelpira::deployment_check
