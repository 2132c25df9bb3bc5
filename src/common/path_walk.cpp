// The path walk, the kernel's own link resolution redone by hand so that each link's owner is
// looked at before it is followed.
#include "common/path_walk.hpp"

#include <fcntl.h>
#include <limits.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <deque>
#include <optional>

namespace kelpira::common {

namespace {

// As many links as the kernel follows in one path before it gives up.
constexpr int kMostLinks = 40;

UniqueFd open_folder(int at, const char* name) {
    return UniqueFd(::openat(at, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

std::deque<std::string> parts_of(const std::string& path) {
    std::deque<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        std::string part = path.substr(start, end - start);
        if (!part.empty() && part != ".") {
            parts.push_back(std::move(part));
        }
        start = end + 1;
    }
    return parts;
}

std::string joined(const std::string& shown, const std::string& part) {
    if (shown.empty()) {
        return part;
    }
    return shown.back() == '/' ? shown + part : shown + "/" + part;
}

std::optional<std::string> read_link(int at, const std::string& name) {
    std::string target(PATH_MAX, '\0');
    const ssize_t n = ::readlinkat(at, name.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<std::size_t>(n) == target.size()) {
        return std::nullopt;
    }
    target.resize(static_cast<std::size_t>(n));
    return target;
}

}  // namespace

std::string user_name(uid_t uid) {
    std::array<char, 4096> buffer{};
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
        return found->pw_name;
    }
    return "uid " + std::to_string(uid);
}

bool walk_to_file(const std::string& path, WalkedPath& walked, std::string& refusal) {
    if (path.empty()) {
        errno = ENOENT;
        return false;
    }
    std::deque<std::string> parts = parts_of(path);
    const bool absolute = path.front() == '/';
    UniqueFd folder = open_folder(AT_FDCWD, absolute ? "/" : ".");
    std::string shown = absolute ? "/" : "";
    int links = 0;
    while (!parts.empty() && folder.valid()) {
        const std::string part = std::move(parts.front());
        parts.pop_front();
        struct stat st {};
        const bool exists = ::fstatat(folder.get(), part.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
        if (!exists && (errno != ENOENT || !parts.empty())) {
            return false;
        }
        if (exists && S_ISLNK(st.st_mode)) {
            if (st.st_uid != ::geteuid() && st.st_uid != 0) {
                refusal = joined(shown, part) + " is a link that belongs to " +
                          user_name(st.st_uid) + ": not followed";
                return false;
            }
            const auto target = read_link(folder.get(), part);
            if (!target || ++links > kMostLinks) {
                errno = ELOOP;
                return false;
            }
            const auto more = parts_of(*target);
            parts.insert(parts.begin(), more.begin(), more.end());
            if (target->front() == '/') {
                folder = open_folder(AT_FDCWD, "/");
                shown = "/";
            }
            continue;
        }
        if (parts.empty()) {
            if (part == "..") {
                errno = EISDIR;
                return false;
            }
            walked.folder = std::move(folder);
            walked.name = part;
            walked.shown = joined(shown, part);
            return true;
        }
        folder = open_folder(folder.get(), part.c_str());
        shown = joined(shown, part);
    }
    if (folder.valid()) {
        errno = EISDIR;  // the path names a folder ("/", ".")
    }
    return false;
}

}  // namespace kelpira::common
