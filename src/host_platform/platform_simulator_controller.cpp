// Starting, stopping and closing a simulator session.
#include "host_platform/platform_simulator_controller.hpp"

#include <ctime>

#include "host_platform/eti_exchange.hpp"
#include "host_platform/glider_exchange.hpp"
#include "host_platform/simulator_session.hpp"

namespace kelpira::host_platform {

PlatformClock system_platform_clock() {
    return {[] {
                const std::time_t now = std::time(nullptr);
                std::tm tm{};
                localtime_r(&now, &tm);
                return LocalTime{tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900,
                                 tm.tm_hour, tm.tm_min,     tm.tm_sec};
            },
            [] { return static_cast<std::int64_t>(std::time(nullptr)); }};
}

bool wait_on_stop_signal(common::WorkerControl& control, std::chrono::milliseconds interval) {
    return control.wait(interval);
}

// The open port of the running session, kept to cancel its reads on "Stop".
struct PlatformSimulatorController::Shared {
    std::shared_ptr<SerialPort> port;
};

PlatformSimulatorController::PlatformSimulatorController(common::Prompter& prompter,
                                                         SimulatorEvents events,
                                                         SimulatorHooks hooks)
    : prompter_(prompter), events_(std::move(events)), hooks_(std::move(hooks)) {}

PlatformSimulatorController::~PlatformSimulatorController() {
    stop();
}

bool PlatformSimulatorController::start(const SimulatorSettings& sim,
                                        const SerialSettings& serial) {
    return has_simulation(sim.platform_type) && begin(sim, serial, false);
}

bool PlatformSimulatorController::download(const SimulatorSettings& sim,
                                           const SerialSettings& serial) {
    return has_download(sim.platform_type) && begin(sim, serial, true);
}

bool PlatformSimulatorController::begin(const SimulatorSettings& sim, const SerialSettings& serial,
                                        bool download) {
    if (running()) {
        return false;
    }
    OpenedPort opened = hooks_.open_port(serial.serial_port, serial.line);
    if (!opened.port) {
        prompter_.message("Connect", "Can't open serial port " + serial.serial_port +
                                         " - make sure no other application has it open");
        return false;
    }
    shared_ = std::make_shared<Shared>();
    shared_->port = std::move(opened.port);
    Session session{shared_->port, sim, events_, hooks_.clock, hooks_.pause, ++session_};
    common::Worker::Body body;
    if (download) {
        body = [session](common::WorkerControl& c) { run_glider_download(c, session); };
    } else if (sim.platform_type == PlatformType::eti) {
        body = [session](common::WorkerControl& c) { run_eti_simulation(c, session); };
    } else {
        body = [session](common::WorkerControl& c) { run_glider_simulation(c, session); };
    }
    worker_ = std::make_unique<common::Worker>(std::move(body));
    return true;
}

void PlatformSimulatorController::stop() {
    if (!worker_) {
        return;
    }
    worker_->request_stop();
    shared_->port->cancel();
    worker_->stop(kStopWait);
    // A worker that overstayed keeps the port (and its session) until it returns; the port
    // closes with the last reference.
    worker_.reset();
    shared_.reset();
}

void PlatformSimulatorController::download_ended(std::uint64_t session) {
    if (session == session_) {
        stop();
    }
}

bool PlatformSimulatorController::close() {
    if (running() && prompter_.ask_yes_no("Exit", "Stop simulation?") != common::Answer::Yes) {
        return false;
    }
    stop();
    return true;
}

}  // namespace kelpira::host_platform
