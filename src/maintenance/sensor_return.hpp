// After the closing block of an image the sensor restarts by itself; an upgrade is done only
// once it is back and runs what the image should have made it run. This waits for it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "link/hid_device.hpp"
#include "link/sensor_link.hpp"

namespace kelpira::maintenance {

// How long a sensor may take to leave and come back after the closing block.
inline constexpr std::chrono::milliseconds kSensorReturnWait{30000};

enum class Return {
    back,           // running firmware, of the image's version when the image names one
    not_back,       // not found again before the wait ran out
    bootloader,     // back, but its bootloader runs
    other_version,  // back, running firmware of another version than the image's
    unidentified,   // back running firmware, whose version text could not be read
    stopped,        // the wait was stopped before the sensor was back
};

struct SensorReturn {
    Return kind = Return::not_back;
    std::string version;   // the firmware version text read back, when one was
    std::string expected;  // the image's version text; empty when it names none
    bool operator==(const SensorReturn&) const = default;
};

// What the wait for the sensor listens to, from any thread: arrival notices at its path, and
// the user's request to stop waiting.
class ReturnSignal {
  public:
    void arrived();
    void stop();
    // Whether a notice has come.
    bool has_arrived() const;
    // Sleeps until `until`, a notice or a stop, whichever comes first. Returns whether the
    // wait is to stop.
    bool wait_until(std::chrono::steady_clock::time_point until);

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    unsigned arrivals_ = 0;
    bool woken_ = false;
    bool stopped_ = false;
};

// Where the upgraded sensor is found again, how long it may take, and the signal its arrival
// notices go to.
struct ReturnWatch {
    link::HidBackend* backend = nullptr;  // lists and opens devices; outlives the upgrade
    std::string path;                     // the device the image was written to
    std::chrono::milliseconds wait = kSensorReturnWait;
    std::shared_ptr<ReturnSignal> signal = std::make_shared<ReturnSignal>();
};

// Waits, on the upgrade thread, for the sensor the link was talking to to restart and come
// back, then reads what it runs. It has restarted once an arrival notice came to the watch's
// signal, an exchange on the link found the device gone, or the device is no longer listed;
// it is back once its device info and firmware version can be read, on the link as it stands
// or opened again at the same path. `expected` is the image's version text, compared when
// given. A notice ends a look-again wait early; a stop ends the wait. The link is left open
// on the sensor that came back, or closed.
SensorReturn await_sensor_return(link::SensorLink& link, const ReturnWatch& watch,
                                 const std::optional<std::string>& expected);

}  // namespace kelpira::maintenance
