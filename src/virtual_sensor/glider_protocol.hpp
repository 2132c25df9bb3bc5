// The firmware's side of the Seaglider and BRIDGES protocols: CR-terminated commands from the
// glider, answered only where the glider waits for an answer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "virtual_sensor/sensor_state.hpp"
#include "virtual_sensor/serial_side_options.hpp"

namespace kelpira::virtual_sensor {

// The prompt a BRIDGES sensor puts before its answer to "sample".
inline constexpr std::string_view kBridgesPrompt = "SC>";

// One command line, its CR removed. Returns the replies, each ending in CR:
// - "clock-set=D,M,Y,h,m,s" sets the clock; "start=NNNN" starts the deployment;
//   "status=c,depth,P1,P2,P3" ('a' diving, 'b' climbing) becomes the platform's values.
//   None of them is answered: the glider discards what comes back.
// - "sample" answers "time,value,temperature,validity,std dev" (thousandths; validity 0
//   good, 1 bad) from the current measurement.
// - "download=1" answers one line per stored result.
// Anything else is ignored.
std::vector<std::string> answer_glider_line(SensorState& state, TimePoint now,
                                            SerialProtocol protocol, std::string_view line);

}  // namespace kelpira::virtual_sensor
