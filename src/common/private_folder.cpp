// Owner and mode checks of private folders, on the names themselves (lstat), so that a link
// someone else planted is never taken for the folder it points to.
#include "common/private_folder.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace kelpira::common {

namespace {

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

}  // namespace kelpira::common
