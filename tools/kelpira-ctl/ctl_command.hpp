// kelpira-ctl's command table and what every command shares: its arguments, the ways it
// fails, writing a result, and opening the selected sensor.
//
// A command lives in its own file and registers itself with one line:
//     const ctl::Registration kStart{{"start", "start [STATE]", "start the sensor", run_start}};
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/command_line.hpp"
#include "connect/connect_controller.hpp"
#include "link/sensor_link.hpp"

namespace kelpira::ctl {

inline constexpr std::string_view kProgram = "kelpira-ctl";

// What main hands a command: the global options and the arguments after the command name.
struct Invocation {
    std::optional<std::string> device;  // --device SELECTOR
    bool progress = false;              // --progress, or standard error is a terminal
    bool start_firmware = false;        // --start-firmware: start a sensor's firmware if needed
    std::vector<std::string> args;
};

struct CommandSpec {
    std::string_view name;
    std::string_view usage;    // "sm convert IN OUT", shown in --help and on usage errors
    std::string_view summary;  // one line for --help
    std::function<int(const Invocation&)> run;  // returns the exit status
};

struct Registration {
    explicit Registration(CommandSpec spec);
};

// Every registered command, in name order.
const std::vector<CommandSpec>& commands();

// Thrown by a command: exit status 2 with the command's usage line.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// Thrown by a command: exit status 1; the text says what failed, with the path or device first.
struct WorkFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A command's arguments read against the options it takes (`common::parse_args`), in order;
// a wrong option or a missing value throws UsageError.
std::vector<common::ParsedArg> command_args(const std::vector<std::string>& args,
                                            std::span<const common::OptionSpec> options);

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
    const std::string& path() const;  // the device path, first in messages

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

// The worst loss the sensors opened so far met (sensor removed, no answer), and `failure`
// followed by its words when there was one, so that a failed operation says which.
link::LinkLoss sensor_loss();
std::string with_sensor_loss(const std::string& failure);

// One line per sensor found: path, name, serial number, mode and device type, tab-separated.
std::vector<std::string> list_sensors();

}  // namespace kelpira::ctl
