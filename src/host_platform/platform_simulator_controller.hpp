// The platform simulator's session: opening the port, running the platform's exchange or the
// download on a worker, and stopping it. The "Platform Simulator" window and
// `kelpira-ctl simulate` drive it; neither holds any of its logic.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "common/prompter.hpp"
#include "common/worker.hpp"
#include "host_platform/result_rows.hpp"
#include "host_platform/serial_port.hpp"
#include "host_platform/simulator_settings.hpp"

namespace kelpira::host_platform {

// What a running session reports. Every callback is made on a worker thread and must return
// at once without waiting for the thread that owns the controller (the window posts each call
// to its own thread).
struct SimulatorEvents {
    std::function<void(const std::string& text)> status;  // the status line's new text
    std::function<void()> clear_rows;
    std::function<void(const ResultRow& row)> add_row;  // bring the new row into view
    // The download of session `session` has ended by itself: the owner should call
    // download_ended(session) on its own thread, as if "Stop" were pressed. `complete`: it
    // ended at the sensor's silence; false when the line failed and results may be missing.
    std::function<void(std::uint64_t session, bool complete)> download_finished;
};

// Local date and time fields as the clock sentence sends them.
struct LocalTime {
    int day = 1, month = 1, year = 1970, hour = 0, minute = 0, second = 0;
};

struct PlatformClock {
    std::function<LocalTime()> local_now;
    std::function<std::int64_t()> utc_now;  // seconds since 1970
};

// The PC's clock.
PlatformClock system_platform_clock();

// How a worker waits between steps: sleeps on the stop signal for `interval` and returns
// true when stopping. Tests replace it to step the exchange one interval at a time.
using Pause = std::function<bool(common::WorkerControl& control, std::chrono::milliseconds)>;

// Waits on the worker's stop signal.
bool wait_on_stop_signal(common::WorkerControl& control, std::chrono::milliseconds interval);

struct SimulatorHooks {
    PortOpener open_port = open_serial_port;
    PlatformClock clock = system_platform_clock();
    Pause pause = wait_on_stop_signal;
};

// Used on one thread (the window's, or the command's main thread).
class PlatformSimulatorController {
  public:
    // How long "Stop" waits for the worker before letting it finish on its own.
    static constexpr std::chrono::milliseconds kStopWait{50};

    PlatformSimulatorController(common::Prompter& prompter, SimulatorEvents events,
                                SimulatorHooks hooks = {});
    ~PlatformSimulatorController();  // stops a running session
    PlatformSimulatorController(const PlatformSimulatorController&) = delete;
    PlatformSimulatorController& operator=(const PlatformSimulatorController&) = delete;

    // "Start": opens the port and runs the platform type's exchange. False when the type has
    // none or the port cannot be opened ("Can't open serial port %s - make sure no other
    // application has it open", caption "Connect"); nothing runs then.
    bool start(const SimulatorSettings& sim, const SerialSettings& serial);
    // "Download": opens the port and reads the sensor's stored results (Seaglider, BRIDGES).
    bool download(const SimulatorSettings& sim, const SerialSettings& serial);
    // "Stop": stops the worker (cancelling a blocked read) and closes the port. Does nothing
    // while idle.
    void stop();
    // A download_finished report arrived: stops that session, unless another has started.
    void download_ended(std::uint64_t session);
    // Closing the window: while running asks "Stop simulation?" (caption "Exit"); on No
    // returns false and nothing changes, otherwise stops and returns true.
    bool close();

    bool running() const { return worker_ != nullptr; }
    // The number of the current (or last) session, as download_finished reports it.
    std::uint64_t session() const { return session_; }

  private:
    struct Shared;
    bool begin(const SimulatorSettings& sim, const SerialSettings& serial, bool download);

    common::Prompter& prompter_;
    SimulatorEvents events_;
    SimulatorHooks hooks_;
    std::shared_ptr<Shared> shared_;
    std::unique_ptr<common::Worker> worker_;
    std::uint64_t session_ = 0;
};

}  // namespace kelpira::host_platform
