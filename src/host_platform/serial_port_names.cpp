// The folder of the virtual sensors' serial links and the links in it.
#include "host_platform/serial_port_names.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "common/private_folder.hpp"
#include "common/runtime_folder.hpp"

namespace kelpira::host_platform {

namespace {

namespace fs = std::filesystem;

// A virtual sensor's serial side publishes a link to the terminal it answers on.
bool is_terminal_link(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        return false;
    }
    std::error_code ec;
    const std::string target = fs::read_symlink(path, ec).string();
    return !ec && target.rfind("/dev/pts/", 0) == 0 && ::stat(target.c_str(), &st) == 0 &&
           S_ISCHR(st.st_mode);
}

std::string unlisted_links_text(const std::string& folder, const std::string& problem) {
    return "Virtual sensors' serial lines in " + folder + " are not listed: " + problem;
}

}  // namespace

std::string serial_link_folder() {
    // Beside the virtual sensors' "devices", under the same private folder.
    return common::runtime_folder() + "/serial";
}

std::string serial_link_path(const std::string& folder, const std::string& name) {
    return common::path_in_folder(folder, name);
}

SerialLinks serial_links(const std::string& folder) {
    SerialLinks links;
    if (auto why = common::private_folder_problem(folder); !why.empty()) {
        links.problem = unlisted_links_text(folder, why);
        return links;
    }
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!name.empty() && name[0] != '.' && is_terminal_link(serial_link_path(folder, name))) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    for (const auto& name : names) {
        links.paths.push_back(serial_link_path(folder, name));
    }
    return links;
}

std::string serial_link_problem(const std::string& path) {
    const std::string folder = serial_link_folder();
    if (fs::path(path).lexically_normal().parent_path() != fs::path(folder).lexically_normal()) {
        return {};
    }
    if (auto why = common::private_folder_problem(folder); !why.empty()) {
        return why;
    }
    if (!is_terminal_link(path)) {
        return "not a virtual sensor's serial line";
    }
    return {};
}

}  // namespace kelpira::host_platform
