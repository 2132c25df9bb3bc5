// kelpira-ctl's command table and what every command shares: the global options, the ways it
// fails, writing a result, and opening the selected sensor.
//
// A command lives in its own file, declares its arguments and options with CLI11 on its
// subcommand, and registers itself with one line:
//     const ctl::Registration kStart{{"start", "start the sensor", declare_start}};
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/cli_app.hpp"
#include "connect/connect_controller.hpp"
#include "link/sensor_link.hpp"

namespace kelpira::ctl {

inline constexpr std::string_view kProgram = "kelpira-ctl";

// The global options, given before the command.
struct Invocation {
    std::optional<std::string> device;  // --device SELECTOR
    bool progress = false;              // --progress, or standard error is a terminal
    bool start_firmware = false;        // --start-firmware: start a sensor's firmware if needed
};

// What runs a command once its command line is read; returns the exit status.
using Run = std::function<int(const Invocation&)>;

struct CommandSpec {
    std::string_view name;
    std::string_view summary;  // one line for --help
    // Declares the command's arguments and options (and its own subcommands) on `command`,
    // read into what the returned Run uses.
    Run (*declare)(CLI::App& command);
};

struct Registration {
    explicit Registration(CommandSpec spec);
};

// Every registered command, in name order.
const std::vector<CommandSpec>& commands();

// Thrown by a command: exit status 1; the text says what failed, with the path or device first.
struct WorkFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Writes `text` to `path` through the safe writer, or to standard output for "-".
void write_result(const std::string& path, std::string_view text);
// Prints "kelpira-ctl: text" on standard error.
void tell(std::string_view text);

// A sensor opened for work as the Connect view opens it, for as long as this object lives.
class OpenSensor {
  public:
    // Probes every attached sensor (real and virtual) and opens the one the invocation's
    // --device names (name, serial number or device path), or the only one attached. A sensor
    // in its bootloader is started only when the command needs the firmware and
    // --start-firmware was given; it is then opened again once it is back running its
    // firmware. With none, several, or a sensor that stays in its bootloader, throws
    // WorkFailure listing what was found. The link is opened with `timeout`.
    OpenSensor(const Invocation& inv, bool need_firmware,
               std::chrono::milliseconds timeout = connect::kConnectTimeout);
    ~OpenSensor();
    OpenSensor(const OpenSensor&) = delete;
    OpenSensor& operator=(const OpenSensor&) = delete;

    link::SensorLink& link();
    link::HidBackend& backend();      // lists and opens every sensor, real and virtual
    const std::string& path() const;  // the device path, first in messages

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

// The worst loss the sensors opened so far met (sensor removed, no answer), and `failure`
// followed by its words when there was one, so that a failed operation says which.
link::LinkLoss sensor_loss();
std::string with_sensor_loss(const std::string& failure);

// One line per sensor found: path, name, serial number, mode and device type, tab-separated;
// `all_opened` is false when a device was found that could not be opened (told on standard
// error by discovery).
struct SensorList {
    std::vector<std::string> lines;
    bool all_opened = true;
};
SensorList list_sensors();

}  // namespace kelpira::ctl
