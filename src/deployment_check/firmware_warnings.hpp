// The compatibility warnings of the sensor's firmware matched against what this deployment
// uses: its chemistry and processing, a program that waits for the schedule, the RS232 and
// RS485 interfaces, the state-machine program. A warning that applies fails when what it
// forbids is something the deployment does or relies on, and warns when the check cannot tell
// whether it was done; the others are listed as not applying, with the reason.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "deployment_check/check_inputs.hpp"
#include "deployment_check/check_item.hpp"
#include "records/chemistry_type.hpp"
#include "records/nutrient_params.hpp"
#include "records/platform_records.hpp"

namespace kelpira::deployment_check {

struct ProgramAnalysis;
struct SensorReading;

// What of the sensor a deployment uses, as read; nothing where the read failed.
struct DeploymentUse {
    std::optional<records::ChemistryType> chemistry;
    std::optional<std::uint8_t> multiplexer;
    std::optional<records::NutrientParams> nutrient;  // a nutrient chemistry's processing
    bool program = false;                             // the sensor holds a program
    bool program_waits = false;                       // a state of it waits for the schedule
    std::optional<std::uint32_t> rs232_protocol;
    std::optional<records::Rs485Config> rs485;  // nothing: the firmware has no RS485 settings
    StartChoice start_state = StartChoice::deploy;
};

struct WarningMatch {
    std::string_view release;         // the release that brought the warning
    std::string_view warning;         // its text, as the compatibility view lists it
    Verdict verdict = Verdict::skip;  // skip: it does not apply to this deployment
    std::string why;                  // what of the deployment it concerns, lower case

    bool operator==(const WarningMatch&) const = default;
};

DeploymentUse deployment_use(const SensorReading& r, const ProgramAnalysis& a,
                             const CheckInputs& in);

// Every warning the compatibility verdict lists for `firmware_version`, newest first, each
// judged; empty for the latest firmware and for a version that does not parse.
std::vector<WarningMatch> match_firmware_warnings(std::string_view firmware_version,
                                                  const DeploymentUse& use);

}  // namespace kelpira::deployment_check
