// Owner and mode checks of private folders, on the names themselves (lstat), so that a link
// someone else planted is never taken for the folder it points to.
#include "common/private_folder.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace kelpira::common {

namespace {

// A folder that is a folder, the user's own and closed to others: empty, or why not.
std::string owner_and_mode_problem(const struct stat& st, const std::string& dir) {
    if (!S_ISDIR(st.st_mode)) {
        return dir + " is not a folder";
    }
    if (st.st_uid != ::geteuid()) {
        return dir + " belongs to another user (uid " + std::to_string(st.st_uid) + ")";
    }
    if ((st.st_mode & 077) != 0) {
        return dir + " is open to other users";
    }
    return {};
}

// Empty when `dir` is a real folder of this user closed to others, or missing and `missing_ok`.
std::string folder_problem(const std::string& dir, bool missing_ok) {
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0) {
        if (errno == ENOENT && missing_ok) {
            return {};
        }
        return "cannot examine " + dir + ": " + std::strerror(errno);
    }
    if (S_ISLNK(st.st_mode)) {
        return dir + " is a link, not a folder";
    }
    return owner_and_mode_problem(st, dir);
}

// The same checks on a folder already opened.
std::string opened_folder_problem(int fd, const std::string& dir) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return "cannot examine " + dir + ": " + std::strerror(errno);
    }
    return owner_and_mode_problem(st, dir);
}

// Why `name` in `at` could not be opened as a folder without following a link.
std::string open_problem(int at, const char* name, const std::string& dir) {
    const int error = errno;
    struct stat st {};
    if (::fstatat(at, name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(st.st_mode)) {
            return dir + " is a link, not a folder";
        }
        if (!S_ISDIR(st.st_mode)) {
            return dir + " is not a folder";
        }
    }
    return "cannot open " + dir + ": " + std::strerror(error);
}

std::string make_folder(const std::string& dir) {
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        return "cannot create " + dir + ": " + std::strerror(errno);
    }
    return {};
}

std::string parent_of(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return std::filesystem::path(folder).parent_path().string();
}

}  // namespace

std::string private_folder_problem(const std::string& folder) {
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0 && errno == ENOENT) {
        return {};
    }
    if (auto why = folder_problem(parent_of(folder), false); !why.empty()) {
        return why;
    }
    return folder_problem(folder, true);
}

std::string make_private_folder(const std::string& folder, bool with_parent) {
    if (with_parent) {
        if (auto why = make_folder(parent_of(folder)); !why.empty()) {
            return why;
        }
    }
    if (auto why = make_folder(folder); !why.empty()) {
        return why;
    }
    if (auto why = folder_problem(parent_of(folder), false); !why.empty()) {
        return why;
    }
    return folder_problem(folder, false);
}

UniqueFd open_private_folder(const std::string& folder, bool with_parent, std::string& problem) {
    const std::filesystem::path parent = parent_of(folder);
    std::string name = folder;
    while (name.size() > 1 && name.back() == '/') {
        name.pop_back();
    }
    name = std::filesystem::path(name).filename().string();
    // Where a folder above is missing (no runtime folder), nothing can be served: nothing is
    // listed and nothing is said.
    if (with_parent && ::mkdir(parent.c_str(), 0700) != 0 && errno != EEXIST) {
        problem =
            errno == ENOENT ? "" : "cannot create " + parent.string() + ": " + std::strerror(errno);
        return UniqueFd();
    }
    UniqueFd above(::open(parent.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!above.valid()) {
        problem = errno == ENOENT ? "" : open_problem(AT_FDCWD, parent.c_str(), parent.string());
        return UniqueFd();
    }
    if (problem = opened_folder_problem(above.get(), parent); !problem.empty()) {
        return UniqueFd();
    }
    // Made inside the checked parent, which nobody else may change.
    if (::mkdirat(above.get(), name.c_str(), 0700) != 0 && errno != EEXIST) {
        problem = "cannot create " + folder + ": " + std::strerror(errno);
        return UniqueFd();
    }
    UniqueFd fd(
        ::openat(above.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.valid()) {
        problem = open_problem(above.get(), name.c_str(), folder);
        return UniqueFd();
    }
    if (problem = opened_folder_problem(fd.get(), folder); !problem.empty()) {
        return UniqueFd();
    }
    return fd;
}

}  // namespace kelpira::common
