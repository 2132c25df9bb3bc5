// The RS232 settings each host platform expects: the platform simulator's line presets with
// the protocol the sensor speaks to that platform.
#pragma once

#include <cstdint>
#include <vector>

#include "deployment_check/check_inputs.hpp"
#include "records/platform_records.hpp"

namespace kelpira::deployment_check {

struct PlatformPreset {
    std::vector<std::uint32_t> protocols;  // any of these
    std::uint32_t baud = 9600;
    std::uint8_t parity = records::kParityNone;
    std::uint8_t data_bits = 8;
    std::uint8_t stop_bits = 1;
};

// Seaglider and BRIDGES: their own protocols; ETI: the generic polled sentences; generic:
// either generic protocol. All at the simulator's 9600 baud 8N1.
PlatformPreset platform_preset(HostPlatform platform);

}  // namespace kelpira::deployment_check
