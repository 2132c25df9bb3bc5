// The sensor's RS232 interface as a pseudo-terminal: a platform simulator opens the terminal
// (through a link named after the sensor) and talks to the firmware's platform protocol.
// Each time the platform closes the line, the link moves to a fresh terminal: nothing the
// last platform left unread reaches the next, and a line the last one held exclusively does
// not stay barred.
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

    // Opens the terminal, starts answering and publishes the link `folder`/`link_name`
    // (replacing whatever had the name). Empty on success, otherwise why not.
    std::string start(const std::string& folder, const std::string& link_name);

    const std::string& link_path() const { return link_path_; }
    // The terminal the link names now.
    std::string terminal_path() const;
    // Blocks until the link names another terminal than `old`; returns it.
    std::string wait_for_new_terminal(const std::string& old) const;

  private:
    struct Channel;
    VirtualSensor& sensor_;
    SerialSideOptions options_;
    std::shared_ptr<Channel> channel_;
    std::unique_ptr<common::Worker> worker_;
    std::string link_path_;
};

// The sensor's name as a link name: '/' and leading dots would make it something else.
std::string serial_link_name(const std::string& sensor_name);

}  // namespace kelpira::virtual_sensor
