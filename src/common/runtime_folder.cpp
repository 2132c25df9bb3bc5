// The runtime folder and paths inside it.
#include "common/runtime_folder.hpp"

#include <unistd.h>

#include <cstdlib>

namespace kelpira::common {

namespace {

std::string temp_root() {
    const char* tmp = std::getenv("TMPDIR");
    if (tmp != nullptr && tmp[0] == '/') {
        return tmp;
    }
    return "/tmp";
}

}  // namespace

std::string runtime_folder() {
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    if (xdg != nullptr && xdg[0] == '/') {
        return std::string(xdg) + "/kelpira";
    }
    return temp_root() + "/kelpira-" + std::to_string(::geteuid());
}

std::string path_in_folder(const std::string& folder, const std::string& name) {
    std::string dir = folder;
    while (dir.size() > 1 && dir.back() == '/') {
        dir.pop_back();
    }
    return dir == "/" ? dir + name : dir + "/" + name;
}

}  // namespace kelpira::common
