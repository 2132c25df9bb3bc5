// The sensor's RS232 interface as a pseudo-terminal: a platform simulator opens the terminal
// (through a link named after the sensor) and talks to the firmware's platform protocol.
// When the platform closes the line, what it left unread is dropped and the exclusive hold it
// took is lifted, so that the next platform opens a clean line.
#pragma once

#include <memory>
#include <string>

#include "common/worker.hpp"
#include "virtual_sensor/serial_side_options.hpp"
#include "virtual_sensor/virtual_sensor.hpp"

namespace kelpira::virtual_sensor {

// Longest command line the firmware keeps; a longer one is dropped whole.
inline constexpr std::size_t kSerialLineCapacity = 256;

class SerialSide {
  public:
    // `options.protocol` must be set. The sensor must outlive this object.
    SerialSide(VirtualSensor& sensor, SerialSideOptions options);
    // Stops answering and removes the link.
    ~SerialSide();

    SerialSide(const SerialSide&) = delete;
    SerialSide& operator=(const SerialSide&) = delete;

    // Opens the terminal, starts answering and publishes the link `folder`/`link_name`,
    // holding the name while the side lives. A name a running sensor holds is refused; a link
    // left under it by a sensor that is gone is replaced. Empty on success, otherwise why not.
    std::string start(const std::string& folder, const std::string& link_name);

    const std::string& link_path() const { return link_path_; }
    const std::string& terminal_path() const { return terminal_path_; }
    // Blocks until no platform holds the line, as far as the side has followed the
    // platforms' opens and closes (what a closing platform left is dropped by then).
    void wait_until_free() const;

  private:
    struct Channel;
    VirtualSensor& sensor_;
    SerialSideOptions options_;
    std::shared_ptr<Channel> channel_;
    std::unique_ptr<common::Worker> worker_;
    std::string link_path_;
    std::string terminal_path_;
};

// The sensor's name as a link name: '/' and leading dots would make it something else.
std::string serial_link_name(const std::string& sensor_name);

}  // namespace kelpira::virtual_sensor
