// Virtual-sensor socket folder and names.
#include "link/device_socket_names.hpp"

#include <unistd.h>

#include <cctype>
#include <filesystem>

#include "common/private_folder.hpp"
#include "common/runtime_folder.hpp"

namespace kelpira::link {

namespace {

bool is_hex4(const std::string& s, std::size_t at) {
    if (at + 4 > s.size()) {
        return false;
    }
    for (std::size_t i = at; i < at + 4; ++i) {
        if (std::isxdigit(static_cast<unsigned char>(s[i])) == 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string default_device_folder() {
    return common::runtime_folder() + "/devices";
}

std::string prepare_device_folder(const std::string& folder) {
    if (!std::filesystem::path(folder).is_absolute()) {
        return folder + " is not an absolute folder path";
    }
    // The default folder's parent ("kelpira" or "kelpira-<uid>") is ours to make too.
    return common::make_private_folder(folder, folder == default_device_folder());
}

std::string unlisted_devices_text(const std::string& folder, const std::string& problem) {
    return "Virtual sensors in " + folder + " are not listed: " + problem;
}

std::optional<std::string> normalise_hardware_id(const std::string& text) {
    std::string up;
    for (char c : text) {
        up.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    if (up.size() != 17 || up.compare(0, 4, "VID_") != 0 || !is_hex4(up, 4) ||
        up.compare(8, 5, "&PID_") != 0 || !is_hex4(up, 13)) {
        return std::nullopt;
    }
    return up;
}

std::string device_socket_name(const std::string& label, const std::string& hardware_id) {
    return label + "." + hardware_id;
}

std::string device_socket_path(const std::string& folder, const std::string& name) {
    return common::path_in_folder(folder, name);
}

std::optional<std::string> hardware_id_of_socket_name(const std::string& name) {
    if (name.empty() || name[0] == '.') {
        return std::nullopt;
    }
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) {
        return std::nullopt;
    }
    const std::string id = name.substr(dot + 1);
    auto normal = normalise_hardware_id(id);
    if (!normal || *normal != id) {
        return std::nullopt;
    }
    return normal;
}

}  // namespace kelpira::link
