// Virtual-sensor socket folder and names.
#include "link/device_socket_names.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "common/runtime_folder.hpp"

namespace kelpira::link {

namespace {

// Makes `dir` if missing (mode 0700) and checks it: a folder, not a link, owned by this user,
// open to nobody else.
std::string ensure_private_folder(const std::string& dir) {
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        return "cannot create " + dir + ": " + std::strerror(errno);
    }
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0) {
        return "cannot examine " + dir + ": " + std::strerror(errno);
    }
    if (!S_ISDIR(st.st_mode)) {
        return dir + " is not a folder";
    }
    if (st.st_uid != ::geteuid()) {
        return dir + " belongs to another user";
    }
    if ((st.st_mode & 077) != 0) {
        return dir + " is open to other users";
    }
    return {};
}

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
    const std::filesystem::path path(folder);
    if (!path.is_absolute() || !path.has_parent_path()) {
        return folder + " is not an absolute folder path";
    }
    // The default folder's parent ("kelpira" or "kelpira-<uid>") is ours too: under a shared
    // temporary folder someone else could have made it first, so it must be private.
    if (folder == default_device_folder()) {
        if (auto why = ensure_private_folder(path.parent_path().string()); !why.empty()) {
            return why;
        }
    }
    return ensure_private_folder(folder);
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
