// VirtualSensor: the emulated sensor firmware. It answers every request report with the
// report the sensor would send, keeps a log of what it received, and plays scripted faults.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "link/handler_hid.hpp"
#include "link/sensor_command.hpp"
#include "virtual_sensor/fault_injection.hpp"
#include "virtual_sensor/sensor_state.hpp"
#include "virtual_sensor/virtual_sensor_options.hpp"

namespace kelpira::virtual_sensor {

// The sensor's clock: UTC now. Tests give a fake one so that every value is deterministic.
using SensorClock = std::function<TimePoint()>;

// What the device host does when the sensor leaves the bus. Both are called outside the
// sensor's lock, from within handle().
struct DeviceHooks {
    // The bootloader accepted START_FIRMWARE: the host delivers the answer handle() returns,
    // then makes the device disappear and reappear (now running the firmware).
    std::function<void()> on_restart;
    // A scripted removal: the device disappears in the middle of the transaction.
    std::function<void()> on_remove;
    // MOUNT_AS_DRIVE: the sensor presents its storage, the folder given (empty: none).
    std::function<void(const std::string&)> on_mount;
};

struct LoggedCommand {
    std::uint16_t code = 0;
    std::vector<std::uint8_t> payload;  // as many bytes as the request's length byte said

    bool operator==(const LoggedCommand&) const = default;
};

// Thread-safe: one mutex guards all state; any thread may call any member.
class VirtualSensor {
  public:
    explicit VirtualSensor(
        VirtualSensorOptions options = {},
        SensorClock clock = [] { return std::chrono::system_clock::now(); });

    // One request report in; the answer reports out (none: silence). The answer echoes the
    // report id, code and sequence number and carries the result byte and payload.
    std::vector<link::InProcessReport> handle(const link::Report& request);

    void set_hooks(DeviceHooks hooks);

    // Lets a running program catch up with the clock: every sample due by now is taken and
    // written. Every command does the same first; a host calls this between commands so
    // the raw output file grows while nobody asks.
    void tick();

    // The sensor resets (power loss, watchdog...): the restart is logged, a running program
    // ends, and the automatic start state, when set, starts it again.
    void restart(std::uint16_t reset_cause);

    // Faults: for commands with a code (`times` of them, or every one, once the first `skip`
    // have passed), or for the next `count` commands whatever their code.
    void inject(std::uint16_t code, Fault fault, std::optional<unsigned> times = std::nullopt,
                unsigned skip = 0);
    void inject_next(Fault fault, unsigned count = 1);
    void clear_faults();

    // The log keeps the newest kLogCapacity commands, so a sensor served for days stays small.
    static constexpr std::size_t kLogCapacity = 100000;
    std::vector<LoggedCommand> log() const;
    std::vector<std::uint16_t> logged_codes() const;
    void clear_log();

    // Changes what the sensor keeps, under its lock (tests fill its stores this way).
    void edit_state(const std::function<void(SensorState&)>& edit);
    // Lets a running program catch up with the clock first and hands `edit` the time now
    // (the serial side answers its platform this way).
    void edit_state_now(const std::function<void(SensorState&, TimePoint)>& edit);

    RunningCode running() const;
    std::string hardware_id() const;
    // The stored configuration record read by `get_code`, or nothing for an unknown code.
    std::optional<std::vector<std::uint8_t>> record(std::uint16_t get_code) const;

  private:
    mutable std::mutex mutex_;
    SensorState state_;
    SensorClock clock_;
    DeviceHooks hooks_;
    FaultScript faults_;
    std::deque<LoggedCommand> log_;
};

}  // namespace kelpira::virtual_sensor
