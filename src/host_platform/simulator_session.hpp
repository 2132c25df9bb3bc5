// What one simulation or download works with: the open port, the form's values, where it
// reports, the clock and the pause between steps. Shared by the worker threads of a session.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "host_platform/platform_simulator_controller.hpp"
#include "host_platform/serial_port.hpp"

namespace kelpira::host_platform {

struct Session {
    std::shared_ptr<SerialPort> port;
    SimulatorSettings sim;
    SimulatorEvents events;
    PlatformClock clock;
    Pause pause;
    std::uint64_t number = 0;

    void status(const std::string& text) const {
        if (events.status) {
            events.status(text);
        }
    }
    void clear_rows() const {
        if (events.clear_rows) {
            events.clear_rows();
        }
    }
    void add_row(const ResultRow& row) const {
        if (events.add_row) {
            events.add_row(row);
        }
    }
    // Writes a sentence of at most kMaxSentence bytes.
    void send(std::string_view text) const { port->write(text.substr(0, kMaxSentence)); }
};

}  // namespace kelpira::host_platform
