// kelpira-virtual-sensor: serves emulated sensors as devices that kelpira finds, until
// SIGINT or SIGTERM, when the devices are removed.
#include <atomic>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "common/stop_signals.hpp"
#include "server_args.hpp"
#include "virtual_sensor/sensor_host.hpp"

namespace {

std::atomic<kelpira::virtual_sensor::DeviceServer*> g_server{nullptr};  // once set up
static_assert(std::atomic<kelpira::virtual_sensor::DeviceServer*>::is_always_lock_free,
              "read in a signal handler");

extern "C" void stop_server(int) {
    if (auto* server = g_server.load(); server != nullptr) {
        server->stop();
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kelpira::virtual_sensor;
    using kelpira::virtual_sensor_program::kProgram;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto parsed = kelpira::virtual_sensor_program::parse_server_options(args);
    if (!parsed.options) {
        std::cout << parsed.outcome.out;
        std::cerr << parsed.outcome.err;
        return *parsed.outcome.exit_status;
    }

    const kelpira::common::StopSignalScope stop({SIGINT, SIGTERM}, stop_server);
    kelpira::common::ignore_broken_pipes();
    // The server's threads never see a stop signal; one that comes while the devices are being
    // set up waits until they are, so that it too removes them.
    kelpira::common::SignalBlock block({SIGINT, SIGTERM});
    SensorHost host(*parsed.options);
    if (const auto why = host.start(); !why.empty()) {
        std::cerr << kProgram << ": " << why << "\n";
        return 1;
    }
    g_server.store(&host.server());
    block.unblock();

    for (std::size_t i = 0; i < host.paths().size(); ++i) {
        const auto& s = parsed.options->devices[i].sensor;
        std::cout << "Serving \"" << s.name << "\" (serial " << s.serial_number << ", "
                  << (s.running == RunningCode::bootloader ? "bootloader" : "firmware") << ") at "
                  << host.paths()[i] << "\n";
        if (!host.serial_links()[i].empty()) {
            std::cout << "  " << serial_protocol_name(*s.serial.protocol) << " serial line at "
                      << host.serial_links()[i] << "\n";
        }
    }
    std::cout << "Press Ctrl+C to remove the devices." << std::endl;
    host.run();
    g_server.store(nullptr);  // the server goes before the handler
    return 0;
}
