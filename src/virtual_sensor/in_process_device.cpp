// Serving a VirtualSensor as an in-process HID device.
#include "virtual_sensor/in_process_device.hpp"

namespace kelpira::virtual_sensor {

void attach_in_process(link::InProcessHidBackend& backend, const std::string& path,
                       VirtualSensor& sensor, std::function<void()> on_arrival) {
    auto handler = [&sensor](const link::Report& r) { return sensor.handle(r); };
    const std::string hardware_id = sensor.hardware_id();
    DeviceHooks hooks;
    hooks.on_remove = [&backend, path] { backend.remove(path); };
    hooks.on_restart = [&backend, path, hardware_id, handler, on_arrival] {
        backend.add(path, hardware_id, handler);
        if (on_arrival) {
            on_arrival();
        }
    };
    sensor.set_hooks(std::move(hooks));
    backend.add(path, hardware_id, handler);
}

}  // namespace kelpira::virtual_sensor
