// The serial link folder sits beside the device folder and is as private.
#include "virtual_sensor/serial_link_folder.hpp"

#include <filesystem>

#include "link/device_socket_names.hpp"
#include "host_platform/serial_port_names.hpp"

namespace kelpira::virtual_sensor {

std::string prepare_serial_link_folder() {
    const std::string folder = simulator::serial_link_folder();
    if (auto why = link::prepare_device_folder(std::filesystem::path(folder).parent_path());
        !why.empty()) {
        return why;
    }
    return link::prepare_device_folder(folder);
}

}  // namespace kelpira::virtual_sensor
