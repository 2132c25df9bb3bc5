// Serving emulated sensors as local-socket devices.
#include "virtual_sensor/sensor_host.hpp"

#include <unistd.h>

#include <atomic>
#include <cstdio>

#include "common/worker.hpp"
#include "host_platform/serial_port_names.hpp"
#include "link/device_socket_names.hpp"
#include "virtual_sensor/serial_link_folder.hpp"

namespace kelpira::virtual_sensor {

std::optional<DeviceId> serve_sensor(DeviceServer& server, VirtualSensor& sensor,
                                     const std::string& label,
                                     std::chrono::milliseconds restart_delay, std::string& error) {
    // The hooks learn the device's id once attached; a request cannot need them sooner than
    // the server's first answer, and an id of 0 names no device.
    auto self = std::make_shared<std::atomic<DeviceId>>(0);
    DeviceHooks hooks;
    hooks.on_remove = [&server, self] { server.detach_after_answer(self->load()); };
    hooks.on_restart = [&server, self, restart_delay] {
        server.restart_after_answer(self->load(), restart_delay);
    };
    // A real sensor appears as a USB drive; a virtual one names the folder that is its storage.
    hooks.on_mount = [label](const std::string& folder) {
        std::printf("%s: storage presented as a drive: %s\n", label.c_str(),
                    folder.empty() ? "(no storage; start with --storage DIR)" : folder.c_str());
        std::fflush(stdout);
    };
    sensor.set_hooks(std::move(hooks));
    ServedDevice device{label, sensor.hardware_id(), false,
                        [&sensor](const link::Report& r) { return sensor.handle(r); }};
    auto id = server.attach(std::move(device), error);
    if (id) {
        self->store(*id);
    }
    return id;
}

SensorHost::SensorHost(ServerOptions options) : options_(std::move(options)) {}

std::string SensorHost::start() {
    folder_ = options_.folder.value_or(link::default_device_folder());
    if (auto why = link::prepare_device_folder(folder_); !why.empty()) {
        return why;
    }
    remove_stale_sockets(folder_);
    server_ = std::make_unique<DeviceServer>(folder_);
    const std::string prefix = "sensor-" + std::to_string(::getpid()) + "-";
    for (std::size_t i = 0; i < options_.devices.size(); ++i) {
        const auto& d = options_.devices[i];
        sensors_.push_back(
            std::make_unique<VirtualSensor>(d.sensor, scaled_clock(options_.time_scale)));
        for (const auto& f : d.faults) {
            sensors_.back()->inject(f.code, f.fault);
        }
        std::string error;
        auto id = serve_sensor(*server_, *sensors_.back(), prefix + std::to_string(i + 1),
                               options_.restart_delay, error);
        if (!id) {
            server_.reset();  // takes the devices attached so far away again
            paths_.clear();
            return error;
        }
        paths_.push_back(server_->path_of(*id).value_or(""));
    }
    return start_serial_sides();
}

std::string SensorHost::start_serial_sides() {
    bool stale_links_removed = false;
    for (std::size_t i = 0; i < options_.devices.size(); ++i) {
        const auto& d = options_.devices[i].sensor;
        serial_links_.emplace_back();
        if (!d.serial.protocol) {
            continue;
        }
        if (auto why = prepare_serial_link_folder(); !why.empty()) {
            return why;
        }
        if (!stale_links_removed) {
            remove_stale_serial_links(host_platform::serial_link_folder());
            stale_links_removed = true;
        }
        auto side = std::make_unique<SerialSide>(*sensors_[i], d.serial);
        if (auto why = side->start(host_platform::serial_link_folder(), serial_link_name(d.name));
            !why.empty()) {
            return why;
        }
        serial_links_.back() = side->link_path();
        serial_sides_.push_back(std::move(side));
    }
    return {};
}

void SensorHost::run() {
    if (!server_) {
        return;
    }
    // The sensors' programs run between commands too, so their files grow while nobody asks.
    std::vector<VirtualSensor*> sensors;
    for (const auto& s : sensors_) {
        sensors.push_back(s.get());
    }
    common::Worker ticker([sensors](common::WorkerControl& control) {
        while (!control.wait(kTickPeriod)) {
            for (auto* s : sensors) {
                s->tick();
            }
        }
    });
    server_->run();
    ticker.stop();
}

SensorClock scaled_clock(double time_scale) {
    const auto real_start = std::chrono::system_clock::now();
    const auto steady_start = std::chrono::steady_clock::now();
    return [=] {
        const std::chrono::duration<double> real = std::chrono::steady_clock::now() - steady_start;
        return real_start +
               std::chrono::duration_cast<std::chrono::system_clock::duration>(real * time_scale);
    };
}

}  // namespace kelpira::virtual_sensor
