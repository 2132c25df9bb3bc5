// Where virtual sensors publish the serial links of their serial sides.
#pragma once

#include <string>

namespace kelpira::virtual_sensor {

// "$XDG_RUNTIME_DIR/kelpira/serial", beside the device folder.
std::string serial_link_folder();

// Creates the folder (and its parent) for this user only; empty on success, else why not.
std::string prepare_serial_link_folder();

}  // namespace kelpira::virtual_sensor
