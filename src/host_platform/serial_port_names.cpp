// The folder of the virtual sensors' serial links and the links in it.
#include "host_platform/serial_port_names.hpp"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "common/runtime_folder.hpp"

namespace kelpira::simulator {

std::string serial_link_folder() {
    // Beside the virtual sensors' "devices", under the same private folder.
    return common::runtime_folder() + "/serial";
}

std::string serial_link_path(const std::string& folder, const std::string& name) {
    return common::path_in_folder(folder, name);
}

std::vector<std::string> serial_links(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!name.empty() && name[0] != '.') {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> paths;
    for (const auto& name : names) {
        paths.push_back(serial_link_path(folder, name));
    }
    return paths;
}

}  // namespace kelpira::simulator
