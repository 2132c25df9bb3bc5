// Serves emulated sensors through a DeviceServer: the body of kelpira-virtual-sensor.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "virtual_sensor/device_server.hpp"
#include "virtual_sensor/serial_side.hpp"
#include "virtual_sensor/server_options.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

namespace kelpira::virtual_sensor {

// Attaches the sensor as a device labelled `label`: a scripted removal detaches it, and a
// restart into the firmware takes it away for `restart_delay` once its answer is out. The
// sensor must outlive the device.
std::optional<DeviceId> serve_sensor(DeviceServer& server, VirtualSensor& sensor,
                                     const std::string& label,
                                     std::chrono::milliseconds restart_delay, std::string& error);

// The clock of a sensor served by a host: it starts at the host's time and runs `time_scale`
// simulated seconds per real second.
SensorClock scaled_clock(double time_scale);

// How often the host lets the sensors' programs catch up between commands, real time.
inline constexpr std::chrono::milliseconds kTickPeriod{200};

class SensorHost {
  public:
    explicit SensorHost(ServerOptions options);

    // Prepares the folder, deletes sockets left by killed servers and attaches every device.
    // Empty on success, otherwise why the devices could not be served (none are then).
    std::string start();
    // The socket path of each device, in the order of the command line.
    const std::vector<std::string>& paths() const { return paths_; }
    // The serial link of each device, in the same order; empty for a device without one.
    const std::vector<std::string>& serial_links() const { return serial_links_; }
    // Serves until server().stop(), then removes every device. Meanwhile every sensor's
    // program catches up with its clock every kTickPeriod.
    void run();
    DeviceServer& server() { return *server_; }

  private:
    // Opens the serial side of every device that has one and publishes its link.
    std::string start_serial_sides();

    ServerOptions options_;
    std::string folder_;
    std::vector<std::unique_ptr<VirtualSensor>> sensors_;  // outlive the server
    std::vector<std::unique_ptr<SerialSide>> serial_sides_;
    std::vector<std::string> serial_links_;
    std::unique_ptr<DeviceServer> server_;
    std::vector<std::string> paths_;
};

}  // namespace kelpira::virtual_sensor
