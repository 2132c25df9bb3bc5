// The folder of the virtual sensors' serial links and the links in it, read through one
// descriptor of the folder so that a folder swapped in after the check is never the one used.
#include "host_platform/serial_port_names.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "common/private_folder.hpp"
#include "common/runtime_folder.hpp"

namespace kelpira::host_platform {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTerminals = "/dev/pts/";

// A virtual sensor's serial side publishes a link to the terminal it answers on: exactly
// "/dev/pts/N", so that no `..` or other text can lead anywhere else.
std::string terminal_of_link(int folder, const std::string& name) {
    char target[64];
    const ssize_t n = ::readlinkat(folder, name.c_str(), target, sizeof target);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof target) {
        return {};
    }
    const std::string text(target, static_cast<std::size_t>(n));
    const std::string_view number = std::string_view(text).substr(
        text.starts_with(kTerminals) ? kTerminals.size() : text.size());
    if (number.empty() || number.size() > 9 ||
        !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return {};
    }
    return text;
}

bool has_dot_dot(const std::string& path) {
    const fs::path parts(path);
    return std::any_of(parts.begin(), parts.end(),
                       [](const fs::path& part) { return part == ".."; });
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

std::string terminal_owner_problem(const struct stat& st) {
    // Pseudo-terminal secondaries have majors 136 to 143.
    const bool pseudo = S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136 && major(st.st_rdev) <= 143;
    if (pseudo && st.st_uid != ::geteuid() && st.st_uid != 0) {
        return "the terminal belongs to another user (uid " + std::to_string(st.st_uid) + ")";
    }
    return {};
}

SerialLinks serial_links(const std::string& folder) {
    SerialLinks links;
    std::string problem;
    const common::UniqueFd dir =
        common::open_private_folder(folder, folder == serial_link_folder(), problem);
    DIR* listing = dir.valid() ? ::fdopendir(::dup(dir.get())) : nullptr;
    if (listing == nullptr) {
        links.problem = problem.empty() ? problem : unlisted_links_text(folder, problem);
        return links;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        const std::string terminal =
            name.empty() || name[0] == '.' ? std::string() : terminal_of_link(dir.get(), name);
        struct stat st {};
        if (!terminal.empty() && ::stat(terminal.c_str(), &st) == 0 && S_ISCHR(st.st_mode) &&
            terminal_owner_problem(st).empty()) {
            names.push_back(name);
        }
    }
    ::closedir(listing);
    std::sort(names.begin(), names.end());
    for (const auto& name : names) {
        links.paths.push_back(serial_link_path(folder, name));
    }
    return links;
}

std::string serial_line_to_open(const std::string& path, std::string& line) {
    if (has_dot_dot(path)) {
        return "a path with \"..\" is not opened as a serial line";
    }
    const std::string folder = serial_link_folder();
    const fs::path normal = fs::path(path).lexically_normal();
    if (normal.parent_path() != fs::path(folder).lexically_normal()) {
        line = path;
        return {};
    }
    std::string problem;
    const common::UniqueFd dir = common::open_private_folder(folder, false, problem);
    if (!dir.valid()) {
        return problem.empty() ? "not a virtual sensor's serial line" : problem;
    }
    line = terminal_of_link(dir.get(), normal.filename().string());
    return line.empty() ? "not a virtual sensor's serial line" : std::string();
}

}  // namespace kelpira::host_platform
