// What an emulated sensor's runs measure and where they write their raw output files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "virtual_sensor/chemistry_model.hpp"

namespace kelpira::virtual_sensor {

struct RunOptions {
    ModelTarget target;
    // The folder of the sensor's storage: each run writes its raw output file there. Without
    // it the sensor keeps no files.
    std::optional<std::string> storage;
    // The Hall stop of this state's pump times out once per run (255: never).
    std::uint8_t pump_timeout_state = 255;
};

}  // namespace kelpira::virtual_sensor
