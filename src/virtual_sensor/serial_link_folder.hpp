// The folder where virtual sensors publish the serial links of their serial sides, and who
// holds each link's name: a sensor holds the name of its link (a lock on a hidden file
// beside it) for as long as it runs, so a link whose name nobody holds was left by a sensor
// that is gone.
#pragma once

#include <string>

namespace kelpira::virtual_sensor {

// Creates the simulator's serial link folder (and its parent) for this user only; empty on
// success, else why not.
std::string prepare_serial_link_folder();

// Takes the name `name` in `folder` for this process: the descriptor holding it, which keeps
// it until closed; -1 when a running sensor (this process's too) holds it, with `error`
// saying so, or when the hold cannot be taken.
int hold_serial_link_name(const std::string& folder, const std::string& name, std::string& error);

// Removes the links in `folder` whose names no running sensor holds: they would point to a
// terminal that is gone, or to another sensor's that got its number.
void remove_stale_serial_links(const std::string& folder);

}  // namespace kelpira::virtual_sensor
