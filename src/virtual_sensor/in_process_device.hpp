// Serving a VirtualSensor as a device of an InProcessHidBackend, for tests and benchmarks.
#pragma once

#include <functional>
#include <string>

#include "link/handler_hid.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

namespace kelpira::virtual_sensor {

// Adds the sensor at `path` with its hardware id. A scripted removal removes the device; a
// restart into the firmware adds it again at the same path (a handle still open keeps
// talking to the same sensor, as the answer to START_FIRMWARE must still reach it) and then
// calls `on_arrival`, which stands for the host's arrival notice. The sensor and the backend
// must outlive the device.
void attach_in_process(link::InProcessHidBackend& backend, const std::string& path,
                       VirtualSensor& sensor, std::function<void()> on_arrival = {});

}  // namespace kelpira::virtual_sensor
