// Making the folder where virtual sensors publish the serial links of their serial sides.
#pragma once

#include <string>

namespace kelpira::virtual_sensor {

// Creates the simulator's serial link folder (and its parent) for this user only; empty on
// success, else why not.
std::string prepare_serial_link_folder();

}  // namespace kelpira::virtual_sensor
