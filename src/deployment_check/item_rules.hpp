// The rule of each item of the deployment check, judged on what was read from the sensor.
// Used by deployment_check.cpp, which runs them in order.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "deployment_check/check_inputs.hpp"
#include "deployment_check/check_item.hpp"
#include "deployment_check/fault_paths.hpp"
#include "deployment_check/firmware_warnings.hpp"
#include "deployment_check/processing_states.hpp"
#include "deployment_check/program_walk.hpp"
#include "deployment_check/sensor_reading.hpp"
#include "deployment_check/timeline.hpp"

namespace kelpira::deployment_check {

// A start state the run control offers, with its dry run when the state is in the program.
struct StartRun {
    std::string_view label;  // "Deploy", "Automatic Deployment", "Prime", ...
    std::uint8_t start = 0;
    std::optional<ProgramWalk> walk;
};

// The dry runs and the timeline they give, worked out once for the items that share them.
// `deploy` is the run from the start state the deployment uses: Deploy, or Automatic
// Deployment with --start-state auto.
struct ProgramAnalysis {
    std::optional<StartRun> deploy;  // nothing when that start state is not set
    std::vector<StartRun> others;    // every other start state that is set
    ProcessingStates processing;
    std::uint8_t marker = 0;                  // the state whose entries count measurements
    bool program_waits = false;               // a state of the program waits for the schedule
    std::optional<std::uint64_t> interval_s;  // the schedule's; 0 measures continuously
    std::vector<Reference> broken;            // references to states the program lacks
    std::vector<std::uint8_t> unreachable;    // states no start state reaches
    std::vector<FaultPath> faults;            // of the deployment's dry run
    std::optional<Timeline> timeline;         // of the deployment's dry run
};

ProgramAnalysis analyse_program(const SensorReading& r, const CheckInputs& in);

// Seconds between measurements of a schedule; 0 continuously; nothing for an unknown kind.
std::optional<std::uint64_t> interval_seconds(const records::MeasurementSchedule& s);
// "continuously", "every 30 min", "every 2 h".
std::string interval_text(const records::MeasurementSchedule& s);

CheckItem link_item(const SensorReading& r);
CheckItem firmware_item(const SensorReading& r, const std::vector<WarningMatch>& warnings);
CheckItem supply_item(const SensorReading& r);
CheckItem clock_item(const SensorReading& r);
CheckItem running_item(const SensorReading& r);
CheckItem program_item(const SensorReading& r, const ProgramAnalysis& a, const CheckInputs& in);
CheckItem references_item(const SensorReading& r, const ProgramAnalysis& a);
CheckItem faults_item(const ProgramAnalysis& a);
CheckItem states_item(const SensorReading& r, const ProgramAnalysis& a);
CheckItem schedule_item(const SensorReading& r, const ProgramAnalysis& a, const CheckInputs& in);
CheckItem timeline_item(const ProgramAnalysis& a, const CheckInputs& in);
CheckItem cycle_item(const ProgramAnalysis& a);
CheckItem endurance_item(const ProgramAnalysis& a, const CheckInputs& in);
CheckItem battery_item(const ProgramAnalysis& a, const CheckInputs& in);
CheckItem serial_item(const SensorReading& r, const CheckInputs& in);
CheckItem thermistors_item(const SensorReading& r);

}  // namespace kelpira::deployment_check
