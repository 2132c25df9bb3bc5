// kelpira-virtual-sensor: serves emulated sensors as devices that kelpira finds, until
// SIGINT or SIGTERM, when the devices are removed.
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "common/command_line.hpp"
#include "server_args.hpp"
#include "virtual_sensor/sensor_host.hpp"

namespace {

kelpira::virtual_sensor::DeviceServer* g_server = nullptr;  // set before the handlers

extern "C" void on_stop_signal(int) {
    if (g_server != nullptr) {
        g_server->stop();
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kelpira::virtual_sensor;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto parsed = parse_server_options(args);
    if (!parsed.options) {
        std::cerr << kelpira::common::usage_error_text(kProgram, parsed.error, kServerUsage);
        return 2;
    }
    if (parsed.options->help) {
        std::cout << server_usage();
        return 0;
    }
    if (parsed.options->version) {
        std::cout << kelpira::common::version_line(kProgram);
        return 0;
    }

    // A stop signal that comes while the devices are being set up waits until the handler is
    // in place, so that it too removes them.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    sigprocmask(SIG_BLOCK, &stop_signals, nullptr);

    SensorHost host(*parsed.options);
    if (const auto why = host.start(); !why.empty()) {
        std::cerr << kProgram << ": " << why << "\n";
        return 1;
    }
    g_server = &host.server();
    struct sigaction sa {};
    sa.sa_handler = on_stop_signal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    sigprocmask(SIG_UNBLOCK, &stop_signals, nullptr);

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
    return 0;
}
