// The states a chemistry's processing parameters name, and the one whose entries mark the
// measurement cycle.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "records/chemistry_type.hpp"

namespace kelpira::deployment_check {

struct NamedState {
    std::string role;  // "sample intake", "standard 1", "inlet 2 measurement", ...
    std::uint8_t state = 0;

    bool operator==(const NamedState&) const = default;
};

struct ProcessingStates {
    std::vector<NamedState> named;
    // The sample measurement state; nothing for a chemistry whose parameters name none.
    std::optional<std::uint8_t> measurement;
};

// From the processing record as the sensor sent it. Nutrient: intake, sample and blank
// measurement, the standards the adjustment uses, and the optical-correction states when it
// is on. pH and Generic: intake and measurement. TA: intake, both blanks and both sample
// LEDs (sample LED1 marks the cycle). DIC: intake and measurement of every inlet in use (the
// first sample inlet's measurement marks the cycle). Ammonia names none.
ProcessingStates processing_states(records::ChemistryType chemistry,
                                   std::span<const std::uint8_t> record);

}  // namespace kelpira::deployment_check
